border	= $d020
paper	= $d021
	.include "colors.asm"
	.include "kernal.asm"
