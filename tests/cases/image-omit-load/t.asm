	*= $c000
	lda #$01
	*= $c003
	rts
