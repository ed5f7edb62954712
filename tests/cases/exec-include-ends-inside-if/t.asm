	.include "on.asm"
	lda #1
	.endif
	.include "off.asm"
	brk
	.endif
	sec
