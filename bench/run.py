#!/usr/bin/env python3
"""Zendra benchmark: assembles generated sources of 10,000, 100,000 and 1,000,000 lines of
both mixes and prints, per source, wall time, lines per second, peak memory, and the floor
(reading the same file and splitting it into lines) with the ratio to it. When the `acme`
assembler is installed, it also runs it on the plain sources, alternating with Zendra,
checks that both write identical program files and prints the time and memory ratios.

A second table shows, per mix, what each further line costs in time and memory between one size
and the next (fixed costs aside), and a third the cost of 20,000 and 200,000 labels and of
10,000 and 100,000 macro calls, per item, so that a cost growing faster than the source shows.

usage: python3 bench/run.py [--build build] [--sizes 10000,100000,1000000] [--repeat 3]
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import gen_source  # noqa: E402


MEASURE = None  # the launcher that reports a child's wall time and peak memory


def run(cmd, cwd):
    """Wall time (s) and peak resident memory (MB) of one process."""
    proc = subprocess.run([MEASURE] + cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if proc.returncode != 0:
        raise SystemExit(f"{cmd[0]} failed on {cmd[-1]}: {proc.stderr.decode(errors='replace').strip()}")
    # The command's own output is discarded; the launcher's line is the last one.
    elapsed, peak_kb = proc.stdout.decode().split()[-2:]
    return float(elapsed), int(peak_kb) / 1024.0


def best(cmd, cwd, repeat):
    runs = [run(cmd, cwd) for _ in range(repeat)]
    return min(r[0] for r in runs), max(r[1] for r in runs)


def main():
    p = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("--build", default="build")
    p.add_argument("--sizes", default="10000,100000,1000000")
    p.add_argument("--repeat", type=int, default=3)
    p.add_argument("--mixes", default="plain,rich")
    a = p.parse_args()
    zendra = os.path.abspath(os.path.join(a.build, "zendra"))
    floor = os.path.abspath(os.path.join(a.build, "bench", "zendra_floor"))
    global MEASURE
    MEASURE = os.path.abspath(os.path.join(a.build, "bench", "zendra_measure"))
    for tool in (zendra, floor, MEASURE):
        if not os.path.exists(tool):
            raise SystemExit(f"{tool} not found: build first (cmake --build {a.build})")
    acme = shutil.which("acme")
    work = tempfile.mkdtemp(prefix="zendra-bench-")
    print(f"{'source':<16}{'lines':>9}{'MB':>7}{'time s':>9}{'lines/s':>12}{'peak MB':>9}"
          f"{'floor s':>9}{'x floor':>9}" + (f"{'acme s':>9}{'acme MB':>9}{'t ratio':>9}{'m ratio':>9}" if acme else ""))
    results = {}  # mix: [(lines, time, memory)] in size order
    try:
        for mix in a.mixes.split(","):
            for size in (int(s) for s in a.sizes.split(",")):
                name = f"{mix}{size}.asm"
                path = os.path.join(work, name)
                getattr(gen_source, mix)(size, path)
                mb = os.path.getsize(path) / 1e6
                z_time, z_mem = best([zendra, "-q", "-o", f"{mix}{size}.prg", name], work, a.repeat)
                f_time, _ = best([floor, name], work, a.repeat)
                row = (f"{name:<16}{size:>9}{mb:>7.1f}{z_time:>9.3f}{size / z_time:>12,.0f}{z_mem:>9.1f}"
                       f"{f_time:>9.3f}{z_time / f_time:>9.1f}")
                if acme and mix == "plain":
                    # Alternate the two so that load on the machine hits both alike.
                    zs, acs = [], []
                    for _ in range(a.repeat):
                        zs.append(run([zendra, "-q", "-o", "z.prg", name], work))
                        acs.append(run([acme, "-f", "cbm", "-o", "a.prg", name], work))
                    same = open(os.path.join(work, "z.prg"), "rb").read() == open(os.path.join(work, "a.prg"), "rb").read()
                    zt, zm = min(r[0] for r in zs), max(r[1] for r in zs)
                    at, am = min(r[0] for r in acs), max(r[1] for r in acs)
                    row += f"{at:>9.3f}{am:>9.1f}{at / zt:>9.2f}{am / zm:>9.2f}" + ("" if same else "  OUTPUT DIFFERS")
                print(row, flush=True)
                results.setdefault(mix, []).append((size, z_time, z_mem))
        # Growth: what each further line costs between two sizes, fixed costs aside; a cost that
        # grows faster than the source shows as a rising figure.
        print()
        print(f"{'mix':<8}{'from':>9}{'to':>9}{'us/line':>9}{'B/line':>9}")
        for mix, rows in results.items():
            for (n0, t0, m0), (n1, t1, m1) in zip(rows, rows[1:]):
                lines = n1 - n0
                print(f"{mix:<8}{n0:>9}{n1:>9}{(t1 - t0) / lines * 1e6:>9.3f}"
                      f"{(m1 - m0) * 1024 * 1024 / lines:>9.1f}", flush=True)
        # Growth: ten times the labels or the macro calls should cost ten times as much.
        print()
        print(f"{'source':<16}{'items':>9}{'time s':>9}{'us/item':>9}{'peak MB':>9}")
        for kind, sizes in (("labels", (20000, 200000)), ("calls", (10000, 100000))):
            for size in sizes:
                name = f"{kind}{size}.asm"
                getattr(gen_source, kind)(size, os.path.join(work, name))
                t, m = best([zendra, "-q", "-o", f"{kind}.prg", name], work, a.repeat)
                print(f"{name:<16}{size:>9}{t:>9.3f}{t / size * 1e6:>9.2f}{m:>9.1f}", flush=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
