 nop
 .include "inc.asm"
 rts
