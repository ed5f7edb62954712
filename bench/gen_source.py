#!/usr/bin/env python3
"""Deterministic generator of benchmark sources.

plain: 40 % constant definitions, 20 % comments, 20 % code, 20 % empty lines; the code uses
every addressing mode, branches and forward jumps, and whenever the program counter passes
$C000 the next unlabelled code line restarts it at $0801 with `*=`. Written so that other
cross-assemblers with the common 6502 syntax assemble it to the same bytes.

rich: every feature of the language: scopes, includes, macros with numeric and string
arguments, conditionals, .goto loops, variables, data, text with control codes, .bounce.
"""
import argparse
import os


class Lcg:
    """Small fixed generator so every run writes the same file."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self, n):
        self.state = (self.state * 1103515245 + 12345) & 0xFFFFFFFF
        return (self.state >> 8) % n


def plain_code(rng, i, state):
    """One code line and its size in bytes; every form has the same size in both passes."""
    if state["pending"] and rng.next(4) == 0:
        return f"fw{state['pending'].pop(0)} nop", 1
    r = rng.next(17)
    if r == 0:
        state["label_pc"] = state["pc"]
        return f"l{i} lda #{rng.next(256)}", 2
    if r == 1 and state["label"] is not None and state["pc"] - state["label_pc"] < 100:
        return f"        bne l{state['label']}", 2
    if r == 2:
        state["pending"].append(i)
        return f"        jmp fw{i}", 3
    forms = [
        ("        sta $d020", 3),
        (f"        ldx ${rng.next(256):02x}", 2),
        (f"        lda ${rng.next(256):02x},x", 2),
        (f"        ldx ${rng.next(256):02x},y", 2),
        (f"        lda ${0x1000 + rng.next(0x8000):04x}", 3),
        (f"        sta ${0x1000 + rng.next(0x8000):04x},x", 3),
        (f"        lda ${0x1000 + rng.next(0x8000):04x},y", 3),
        (f"        lda (${rng.next(256):02x},x)", 2),
        (f"        sta (${rng.next(256):02x}),y", 2),
        (f"        jmp (${0x1000 + rng.next(0x8000):04x})", 3),
        ("        asl", 1),
        ("        inx", 1),
        (f"        cmp #<c{state['constant']}", 2),
        (f"        sty ${rng.next(256):02x},x", 2),
    ]
    return forms[rng.next(len(forms))]


def plain(lines, path):
    rng = Lcg(1)
    state = {"pc": 0x0801, "label": None, "label_pc": 0, "pending": [], "constant": 0}
    with open(path, "w") as out:
        out.write("        *= $0801\n")
        for i in range(1, lines):
            r = rng.next(10)
            if r < 4:
                out.write(f"c{i} = ${rng.next(0x10000):04x}+{rng.next(16)}\n")
                state["constant"] = i
            elif r < 6:
                out.write(f"; comment line {i} with some text\n")
            elif r < 8:
                if state["pc"] > 0xC000 and not state["pending"]:
                    out.write("        *= $0801\n")
                    state.update(pc=0x0801, label=None)
                    continue
                text, size = plain_code(rng, i, state)
                if text.startswith("l"):
                    state["label"] = i
                out.write(text + "\n")
                state["pc"] += size
            else:
                out.write("\n")
        for k in state["pending"]:
            out.write(f"fw{k} nop\n")


def rich(lines, path):
    rng = Lcg(2)
    base = os.path.splitext(path)[0]
    inc = base + "-lib.inc"
    with open(inc, "w") as out:
        out.write("; macro library\n")
        out.write("poke .macro\n        lda #\\1\n        sta \\2\n        .endm\n")
        out.write("say .macro\n        .null \"@1\"\n        .endm\n")
        out.write("fill .segment\n        .repeat \\1, \\2\n        .endm\n")
    with open(path, "w") as out:
        out.write(f"        .include \"{os.path.basename(inc)}\"\n")
        out.write("        *= $0801\n")
        pc = 0x0801
        i = 0
        written = 1
        out.write("k0 = $1234\n")
        last_k = 0
        last_r = None
        while written < lines:
            if pc > 0xB000:
                out.write("        *= $0801\n")
                pc = 0x0801
                written += 1
                continue
            r = rng.next(16)
            block = []
            if r < 4:
                block = [f"k{i} = ${rng.next(0x10000):04x}+{rng.next(9)}"]
                last_k = i
            elif r < 6:
                block = [f"; rich comment {i}", ""]
            elif r < 8:
                block = [f"r{i} lda #<k{last_k}", f"        sta $d0{rng.next(64):02x},x",
                         f"        beq r{i}", f"        jmp n{i}", f"n{i} lda (${rng.next(256):02x}),y"]
                pc += 2 + 3 + 2 + 3 + 2
            elif r == 8:
                block = [f"        #poke {rng.next(256)}, $d021", f"        #say \"hi {i}\""]
                pc += 5 + 5 + len(str(i)) + 1
            elif r == 9:
                block = ["        .block", f"loc     .byte {rng.next(256)}, \"{{white}}\", <loc",
                         f"        .word loc, k{last_k}", "        .bend"]
                pc += 3 + 4
            elif r == 10:
                block = [f"        .text \"{{clr}}{{rvs on}}Zendra {i}{{rvs off}}\"",
                         f"        .screen \"score {i % 100}\"", "        .shift \"end\""]
                pc += 3 + 7 + len(str(i)) + 1 + 6 + len(str(i % 100)) + 3
            elif r == 11:
                block = [f"v{i}     .var 0", f"t{i}     .lbl", f"        .byte v{i}",
                         f"v{i}     .var v{i}+1", f"        .ifne v{i}-4", f"        .goto t{i}",
                         "        .endif"]
                pc += 4
            elif r == 12:
                block = [f"        .bounce {rng.next(45)}, 32, 0, {rng.next(200) + 55}"]
                pc += 32
            elif r == 13:
                block = ["        .ifdef DEBUG", "        brk", "        .endif",
                         f"        .if k{last_k}&1", "        nop", "        .endif"]
                pc += 1  # DEBUG is never defined; the nop may or may not be there
            elif r == 14:
                block = [f"        #fill 4, {rng.next(256)}", f"        .rta k{last_k}"]
                pc += 4 + 2
            else:
                block = [f"        inc ${rng.next(256):02x}", "        asl a", "        bit $2c",
                         f"        ldx #%{rng.next(256):08b}", "        txa"]
                pc += 2 + 1 + 2 + 2 + 1
            for line in block:
                out.write(line + "\n")
            written += len(block)
            i += 1
        # Labels referred to but maybe never defined because of the random mix.
        out.write("; end\n")
    # Every reference to an r/k/n label points backward or to a label in the same block, so all exist.


def labels(count, path):
    """`count` distinct code labels, each used by a forward and a backward reference."""
    with open(path, "w") as out:
        for i in range(count):
            if i % 8000 == 0:
                out.write("        *= $1000\n")
            out.write(f"a{i} lda a{i + 1}\n")
        out.write(f"a{count} rts\n")


def calls(count, path):
    """`count` calls of a macro whose label is local to each expansion."""
    with open(path, "w") as out:
        out.write("m .macro\nloop    dex\n        bne loop\n        lda #\\1\n        .endm\n")
        for i in range(count):
            if i % 10000 == 0:
                out.write("        *= $1000\n")
            out.write(f"        #m {i & 255}\n")


def main():
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument("kind", choices=["plain", "rich", "labels", "calls"])
    p.add_argument("lines", type=int)
    p.add_argument("path")
    a = p.parse_args()
    globals()[a.kind](a.lines, a.path)


if __name__ == "__main__":
    main()
