 nop
 .proff
 nop
 .pron
 rts
 .proff
 rts
