#!/usr/bin/env python3
"""Decode speed of two builds of bench_frame_decode, side by side: the two programs run in turns,
round after round, and each stream's median MB/s (CPU time) is compared; then, unless --no-count,
the instructions each build spends per byte of each stream, counted by callgrind (the same
whatever else the machine does).

    bench/decode_side_by_side.py OLD/bench_frame_decode NEW/bench_frame_decode [rounds] [--no-count]

An older commit's program is best built from its own code with this bench/frame_decode.cpp, so that
both run the same streams.
"""
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile

COUNTED = ["BM_FrameDecode/0", "BM_FrameDecode/16", "BM_FrameDecode/256", "BM_FrameDecode/1024",
           "BM_FalseHeaders/0", "BM_FalseHeaders/1", "BM_LongFrames/0", "BM_LongFrames/1"]


def instructions_per_byte(binary, name):
    """Instructions inside Dongle::appendBytes per byte it was handed (each call gets ~1 MiB)."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "cg")
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, binary,
                        "--benchmark_filter=^" + name + "$", "--benchmark_min_time=0.01"],
                       capture_output=True, check=True)
        tree = subprocess.run(["callgrind_annotate", "--inclusive=yes", "--tree=caller", out],
                              capture_output=True, text=True, check=True).stdout
    calls = 0
    cost = 0
    callers = []
    for line in tree.splitlines():
        if re.search(r"<.*\((\d[\d,]*)x\)", line):
            callers.append(int(re.search(r"\((\d[\d,]*)x\)", line).group(1).replace(",", "")))
            continue
        m = re.match(r"\s*([\d,]+) .*\*\s+\S*Dongle::appendBytes\(", line)
        if m:
            cost = int(m.group(1).replace(",", ""))
            calls = sum(callers)
            break
        callers = []
    return cost / (calls * (1 << 20)) if calls else float("nan")

FILTER = "BM_FrameDecode|BM_FalseHeaders|BM_LongFrames"


def run(binary):
    out = subprocess.run([binary, "--benchmark_filter=" + FILTER, "--benchmark_format=json",
                          "--benchmark_min_time=0.3"], capture_output=True, text=True, check=True)
    figures = {}
    for b in json.loads(out.stdout)["benchmarks"]:
        name = b["name"].split("/iterations")[0]
        if "bytes_per_second" in b:
            figures[name] = b["bytes_per_second"] / 1e6
        for key in ("clean_MB_per_s", "headers_MB_per_s", "ratio"):
            if key in b:
                figures[name + ":" + key] = b[key]
    return figures


def main():
    old, new = sys.argv[1], sys.argv[2]
    args = [a for a in sys.argv[3:] if not a.startswith("--")]
    rounds = int(args[0]) if args else 5
    runs = {old: [], new: []}
    for _ in range(rounds):
        for binary in (old, new):
            runs[binary].append(run(binary))
    names = [n for n in runs[new][0] if n in runs[old][0]]
    print(f"{'stream':58} {'old MB/s':>10} {'new MB/s':>10} {'new/old':>8}")
    for name in names:
        o = statistics.median(r[name] for r in runs[old])
        n = statistics.median(r[name] for r in runs[new])
        print(f"{name:58} {o:10.2f} {n:10.2f} {n / o:8.2f}")
    if "--no-count" in sys.argv:
        return
    print(f"\n{'stream (instructions per byte)':58} {'old':>10} {'new':>10} {'new/old':>8}")
    for name in COUNTED:
        o = instructions_per_byte(old, name)
        n = instructions_per_byte(new, name)
        print(f"{name:58} {o:10.1f} {n:10.1f} {n / o:8.2f}")


if __name__ == "__main__":
    main()
