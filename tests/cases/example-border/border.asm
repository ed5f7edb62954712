; Border colour cycle for the C64.
; Load with LOAD "BORDER",8,1 (or drag border.prg into an emulator) and RUN.

border  = $d020

        *= $0801
        ; BASIC line: 10 SYS 2061
        .byte $0b, $08, $0a, $00, $9e, "2", "0", "6", "1", $00, $00, $00

start   inc border          ; next colour
        ldy #$20
wait    ldx #0
delay   dex
        bne delay
        dey
        bne wait
        jmp start
