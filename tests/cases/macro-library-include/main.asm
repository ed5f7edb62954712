; A program built from a macro library in an included file: macros and segments called with
; numbers and strings, and a table of squares unrolled by a .goto loop.
         .include "lib.asm"

         *= $2000
         #const "last", "15"
start    #colors 0, 11          ; black border, dark grey background
         #poke $0286, 1         ; print in white
         #print "{clr}squares"
         #print "{down}ok"
         ldx #last
         lda squares,x
         rts

; n*n for n = 0 to 15, one .byte per turn
squares
n        .var 0
again    .lbl
         .byte n*n
n        .var n+1
         .if n-last-1
         .goto again
         .endif
