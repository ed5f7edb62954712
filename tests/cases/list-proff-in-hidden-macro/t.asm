m .macro
 .proff
 nop
 .endm
 #m
 rts
