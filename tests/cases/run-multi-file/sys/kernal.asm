chrout	= $ffd2
