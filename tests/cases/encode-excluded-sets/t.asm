 nop
 lax #1
loop sax $12
 LAX = 1
	bra *
 sac #1
