sub lda #0
