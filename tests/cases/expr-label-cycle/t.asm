a = b
b = a+1
 .word 1
 .word a
 .word b, 2
