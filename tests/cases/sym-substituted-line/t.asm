m .macro
 lda #@1
 nop
 .endm
 #m "1"
