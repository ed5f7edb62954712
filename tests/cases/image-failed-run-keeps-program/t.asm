	nop
	jmp nowhere
