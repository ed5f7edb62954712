	*= $1000
	nop
	*= $1003
	.word $1234
	*= $1008
	.text "A"
	*= $100a
	rts
