*=$c000
.byte 1,"A",<x,>x
.word x,*
.rta 0
.repeat 3,!5
.text "{clr}{rvs on}x"
.null "hi"
.shift "ab"
.screen "Hello@"
.bounce 2,16,0,255,1,1,0,50,100,1,20
x nop
.offs $100
.eor $ff
.ifdef x
.endif
