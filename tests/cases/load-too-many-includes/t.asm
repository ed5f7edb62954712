	nop
	.include "t.asm"
