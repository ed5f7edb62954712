black	= 0	; found beside defs.asm
