	.include "kernal.asm"
	jmp chrout
