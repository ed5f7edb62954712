 lda #top
