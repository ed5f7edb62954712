	.binary ""
	.binary "  "
	.binary "none.bin"
	.binary "dir"
