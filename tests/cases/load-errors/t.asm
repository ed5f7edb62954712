	.include ""
	.include "   "
	.include "missing.asm"
	.endm
m1	.macro
m2	.macro
	.endm
	.include "parts.asm"
	.include "dir"
	.if 0
	.include "skipped.asm"
	.endif
m3	.segment
	nop
