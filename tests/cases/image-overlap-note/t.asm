	*= $1000
	lda #1
	*= $1001
	.byte 2
	.byte 3
	*= $1000
	.byte 4
