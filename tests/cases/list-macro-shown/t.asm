put .macro
 lda #\1
 sta $d020
 .endm
 #put 5
 rts
