	*= $0900
start	ldx #<msg	; comment
	.include "inc.asm"
msg	.text "hi"
end
