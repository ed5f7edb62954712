; A title screen printed through the KERNAL: colours, reverse video and cursor moves are
; control codes inside the strings, in several dialects' names; one loop prints each
; zero-terminated line whose address is in the table.
chrout   = $ffd2            ; KERNAL: print the character in A
ptr      = $fb              ; zero-page pointer to the line being printed

         *= $c000
start    ldx #0
nextline lda lines,x
         sta ptr
         lda lines+1,x
         sta ptr+1
         ldy #0
nextchar lda (ptr),y
         beq endline        ; each line ends with a zero byte
         jsr chrout
         iny
         bne nextchar
endline  inx
         inx
         cpx #linesend-lines
         bne nextline
         rts

lines    .word title, item1, item2, footer
linesend
title    .null "{CLR}{wht}{rvs on} zendra {RVS OFF}{return}"
item1    .null "{down}{rght}{rght}{yellow}1{lt blue} play{return}"
item2    .null "{right}{right}{yel}2{light blue} quit{return}"
footer   .null "{home}{$11}{017}{017}{rvon}{c:07} bye {rvof}"
