	*= $1000
	.byte 1, 2, 3, 4, 5, 6, 7
	*= $1000
	nop
	nop
	nop
	nop
	nop
	nop
	nop
