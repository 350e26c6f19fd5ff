"""Heap allocations per steady-state frame, the demo's against the baseline's,
counted by the preloaded AllocationCounter."""

import os
from collections import defaultdict

from harness.processes import log, medians, run_env, run_with_output
from harness.table import ratio

NAME = "allocations"
TITLE = "allocations per frame"

# Frames skipped, then frames counted. The sample piece's shader is heavy for
# a software renderer (a few frames a second on a busy two-core machine), and
# the demo's thirty seconds must cover both.
WARMUP = 20
FRAMES = 60


def measure(bench):
    tools = bench.tools
    out = os.path.join(bench.scratch, "allocations.txt")
    results = {"demo": defaultdict(list), "baseline": defaultdict(list)}
    for i in range(bench.runs):
        log(f"  allocation run {i + 1}/{bench.runs}")
        for who, command in (("demo", [tools["demo"]]),
                             ("baseline", [tools["baseline"], "--frames", "100000"])):
            rows = run_with_output(command, run_env(
                bench.display, LD_PRELOAD=tools["counter"], VELLOMIRKE_BENCH_OUT=out,
                VELLOMIRKE_BENCH_WARMUP=WARMUP, VELLOMIRKE_BENCH_FRAMES=FRAMES),
                bench.piece, out)
            counts = {k: int(v) for k, v in rows}
            for key in ("program", "library", "runtime"):
                results[who][key].append(counts[key] / counts["frames"])
    return medians(**results)


def rows(a, machine):
    return [
        ("Heap allocations per steady-state frame, program's own code",
         f"{a['demo']['program']:.2f}", f"{a['baseline']['program']:.2f}", "", "0"),
        ("&nbsp;&nbsp;inside libraries on the main thread (driver, GLFW, Xlib)",
         f"{a['demo']['library']:.2f}", f"{a['baseline']['library']:.2f}",
         ratio(a["demo"]["library"], a["baseline"]["library"]), ""),
    ]
