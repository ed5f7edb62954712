	.binary "sprite.bin", 1	; found beside this file
