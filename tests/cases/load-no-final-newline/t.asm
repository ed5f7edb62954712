	lda #1
	rts