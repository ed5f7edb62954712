	rts
