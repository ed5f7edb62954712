m	.macro
	.word *
	.endm
	#m
	nop
	#m
n	.var 0
loop	.lbl
	.byte <*
n	.var n+1
	.if n-3
	.goto loop
	.endif
