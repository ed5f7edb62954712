	.binary "data.bin", 2
	.binary "data.bin"
	.binary "data.bin", 6	; at the end: nothing
	.binary "data.bin", 0-1	; negative: nothing
	.binary "data.bin", 1+1*2
	.include "gfx/sprite.asm"
