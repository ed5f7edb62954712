chrout	= $1234	; the environment's folder comes first
