an older program
