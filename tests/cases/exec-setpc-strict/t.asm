	*= later
	nop
later	nop
