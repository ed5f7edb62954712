; A raster bar that bounces up and down the screen, driven by a sine table from .bounce.
; LOAD "RASTER",8,1 and RUN; RUN/STOP + RESTORE to leave.

raster  = $d012             ; current raster line
border  = $d020
screen  = $d021

; Waits until the raster beam reaches the line given as the argument (a value or label).
waitline .macro
wait    lda raster
        cmp \1
        bne wait
        .endm

; Sets both frame colours to the value given.
colours .macro
        lda #\1
        sta border
        sta screen
        .endm

        *= $0801
        .byte $0b, $08, $0a, $00, $9e, "2", "0", "6", "1", $00, $00, $00   ; 10 SYS 2061

start   sei
        ldx #0
frame   lda wave,x          ; the bar's top line for this frame
        sta top
        #waitline top
        #colours 2          ; red bar
        ldy #8
hold    dey
        bne hold
        #waitline top+1
        #colours 0          ; black again
        inx                 ; next frame, next position; x wraps after 256 frames
        jmp frame

top     .byte 0
; One full bounce between raster lines 60 and 220, in 256 steps.
wave    .bounce 0, 256, 60, 220, 2
