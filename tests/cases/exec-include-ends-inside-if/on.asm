	.if 1
	clc
