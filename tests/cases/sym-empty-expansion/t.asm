none .macro
 ; nothing here
 .endm
one .macro
 nop
 .endm
 #none
 #one
