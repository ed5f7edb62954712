	*= $ffff
	.byte $42
