inc2 .macro
 inx
 inx
 .endm
 #inc2
 #inc2
 rts
