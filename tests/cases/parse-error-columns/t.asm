loop:
 lda #-1
 .foo
 .byte 1,2,(3
 lda \x
 lda ($12,y)
x = 5 ; fine
