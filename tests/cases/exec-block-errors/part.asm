	.block
	nop
