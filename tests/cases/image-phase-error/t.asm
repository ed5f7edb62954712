	lda zp	; absolute in pass 1, zero page in pass 2
	rts
zp	= $10
