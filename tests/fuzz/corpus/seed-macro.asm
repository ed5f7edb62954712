m .macro
  lda #\1
  .text "@2"
 .endm
 #m 5, "hi{white}"
 top .lbl
 v .var 3
 .if v-3
 .goto top
 .endif
 .block
 x = *+2
 .bend
