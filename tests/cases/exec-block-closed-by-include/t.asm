	.block
	.include "closer.asm"
	.bend
	nop
