	*= 2048
	.offs 4096
here	lda #<here
	.byte >here
	.word *
