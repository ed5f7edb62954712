	*= 0
	nop
	*= $ffff
	nop
