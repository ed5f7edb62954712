	.eor $ff
	.byte 0, $0f
	lda #$ff
	*= $1008
	.eor 0
	rts
