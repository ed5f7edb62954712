	.if 0
	nop
