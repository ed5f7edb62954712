 lda $1234
 .text "abc"
