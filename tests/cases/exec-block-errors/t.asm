	nop
	.bend
	.include "part.asm"
	.block
	nop
