; Macro library: screen colours, a poke, printing a string, and naming a constant.
chrout   = $ffd2            ; KERNAL: print the character in A

; #colors border, background: a segment, so it opens no scope of its own
colors   .segment
         lda #\1
         sta $d020
         lda #\2
         sta $d021
         .endm

; #poke address, value
poke     .macro
         lda #\2
         sta \1
         .endm

; #print "text": the zero-terminated text follows the loop that prints it
print    .macro
         ldx #0
loop     lda text,x
         beq done
         jsr chrout
         inx
         bne loop
text     .null "@1"
done
         .endm

; #const "name", "value": a segment, so the name is defined in the caller's scope
const    .segment
@1       = @2
         .endm
