 nop
