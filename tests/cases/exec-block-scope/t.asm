x	= 1
	.block
x	= 2
	lda #x
	.bend
	lda #x
	.block
	.block
x	= 3
	lda #x
	.bend
	lda #x
	.bend
	.byte x
