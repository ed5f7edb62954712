 nop
 .binary "data.bin"
 rts
