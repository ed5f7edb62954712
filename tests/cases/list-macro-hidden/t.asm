put .macro
 lda #\1
 .endm
 #put 1
 .showmac
 #put 2
