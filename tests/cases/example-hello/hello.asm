; "Hello" printed through the KERNAL, with control codes for colour and reverse video.
; LOAD "HELLO",8,1 and RUN.

chrout  = $ffd2             ; KERNAL: print the character in A

        *= $0801
        .byte $0b, $08, $0a, $00, $9e, "2", "0", "6", "1", $00, $00, $00   ; 10 SYS 2061

start   ldx #0
next    lda message,x
        beq done            ; the text ends with a zero byte
        jsr chrout
        inx
        bne next
done    rts

message .null "{clr}{white}hello, {rvs on}commodore{rvs off}!{return}"
