; only names
screen	= $0400
here
	*= $2000
