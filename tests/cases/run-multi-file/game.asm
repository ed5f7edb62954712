; Sets the screen colours, clears the screen, then returns through the kernal.
	.include "src/defs.asm"
	*= $c000
start	lda #black
	sta border
	sta paper
	jsr clear
	jmp chrout
	.include "screen.asm"
