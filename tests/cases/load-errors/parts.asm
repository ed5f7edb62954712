	nop
loop:	nop
	lda #1
	lda (1
	nop
