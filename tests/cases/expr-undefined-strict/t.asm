 lda #<missing
 lda #>missing+1
 jmp Missing
 .word missing+1
