b lda #1
a rts
