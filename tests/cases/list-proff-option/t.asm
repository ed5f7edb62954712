 lda #1
 .pron
 rts
