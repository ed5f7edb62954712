; a comment line
start
 lda #$01
 jmp start
 .byte 1,2,3,4
 .byte 1,2,3,4,5,6
 .byte 1,2,3,4,5,6,7,8,9
