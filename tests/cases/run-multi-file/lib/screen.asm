clear	lda #$20
	ldx #0
loop	sta $0400,x
	inx
	bne loop
	rts
