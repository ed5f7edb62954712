black	= 1	; in the working folder: not reached
