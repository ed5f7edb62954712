* = $c000
loop nop
 jmp loop
loop = 5
 .block
loop nop
 .bend
loop = 6
