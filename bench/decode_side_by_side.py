#!/usr/bin/env python3
"""Decode speed of two builds of bench_frame_decode, side by side: the two programs run in turns,
round after round, and each stream's median MB/s (CPU time) is compared; then, unless --no-count,
the instructions each build spends per byte of each stream, counted by callgrind (the same
whatever else the machine does).

    bench/decode_side_by_side.py OLD/bench_frame_decode NEW/bench_frame_decode [MORE...] [rounds] [--no-count]

With more than two programs, each is compared with the first (OLD). A program may be given with
its own options in one argument, e.g. "NEW/bench_frame_decode --narrow_scan" (sixteen-byte vectors
only).

An older commit's program is best built from its own code with this bench/frame_decode.cpp, so that
both run the same streams.
"""
import json
import os
import re
import shlex
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
        subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, *shlex.split(binary),
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
    out = subprocess.run([*shlex.split(binary), "--benchmark_filter=" + FILTER, "--benchmark_format=json",
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
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    rounds = int(args.pop()) if args and args[-1].isdigit() else 5
    binaries = args
    old = binaries[0]
    runs = {binary: [] for binary in binaries}
    for _ in range(rounds):
        for binary in binaries:
            runs[binary].append(run(binary))
    names = [n for n in runs[binaries[-1]][0] if all(n in runs[b][0] for b in binaries)]
    labels = ["old"] + (["new"] if len(binaries) == 2 else [f"#{i}" for i in range(1, len(binaries))])
    print(f"{'stream (MB/s)':58}" + "".join(f"{l:>10}" for l in labels)
          + "".join(f"{l + '/old':>10}" for l in labels[1:]))
    for name in names:
        medians = [statistics.median(r[name] for r in runs[b]) for b in binaries]
        print(f"{name:58}" + "".join(f"{m:10.2f}" for m in medians)
              + "".join(f"{m / medians[0]:10.2f}" for m in medians[1:]))
    if "--no-count" in sys.argv:
        return
    print(f"\n{'stream (instructions per byte)':58}" + "".join(f"{l:>10}" for l in labels)
          + "".join(f"{l + '/old':>10}" for l in labels[1:]))
    for name in COUNTED:
        counts = [instructions_per_byte(b, name) for b in binaries]
        print(f"{name:58}" + "".join(f"{c:10.1f}" for c in counts)
              + "".join(f"{c / counts[0]:10.2f}" for c in counts[1:]))


if __name__ == "__main__":
    main()
