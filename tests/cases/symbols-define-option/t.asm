B = 7
 .byte TRACE, A, FAST
 .ifdef A
 .byte $ff
 .endif
