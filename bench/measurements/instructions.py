"""CPU instructions per frame under callgrind, the demo's own code and GLFW's
against the baseline's; deterministic, so one run, on a small display of its
own."""

import os
import re
import subprocess
from collections import defaultdict

from harness.display import Xvfb
from harness.processes import log, median, run_env
from harness.table import ratio

NAME = "instructions"
TITLE = "instructions per frame"
# A small screen: the driver's share of a frame under valgrind shrinks with
# it, while the program's own work per frame does not change.
OWN_DISPLAY = True
SCREEN = "160x120"
FRAMES = 20


def self_cost_by_object(path):
    """Exclusive Ir per object file in one callgrind dump."""
    objects = {}
    costs = defaultdict(int)
    current = None
    skip_call_cost = False
    with open(path) as f:
        for line in f:
            if skip_call_cost:  # the inclusive cost of a call, not this function's
                skip_call_cost = False
                continue
            if line.startswith(("ob=", "cob=")):
                value = line.split("=", 1)[1].strip()
                m = re.match(r"\((\d+)\)\s*(.*)", value)
                if m:
                    if m.group(2):
                        objects[m.group(1)] = m.group(2)
                    value = objects.get(m.group(1), value)
                if line.startswith("ob="):
                    current = value
            elif line.startswith("calls="):
                skip_call_cost = True
            elif line[:1].isdigit() or line[:1] in "+-*":
                parts = line.split()
                if len(parts) >= 2:
                    costs[current] += int(parts[1])
    return costs


def callgrind_frames(command, env, cwd, scratch, frames):
    out = os.path.join(scratch, "cg.out")
    for name in os.listdir(scratch):
        if name.startswith("cg.out"):
            os.remove(os.path.join(scratch, name))
    # One dump per frame, cut where each frame's event poll begins.
    subprocess.run(["valgrind", "--tool=callgrind", "--dump-before=glfwPollEvents",
                    "--callgrind-out-file=" + out] + command,
                   env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=600)
    program = os.path.realpath(command[0])
    per_frame = defaultdict(list)
    # Dump 1 holds start-up; dumps 2.. are whole steady-state frames.
    for k in range(2, frames + 1):
        path = f"{out}.{k}"
        if not os.path.exists(path):
            break
        by_object = self_cost_by_object(path)
        own = sum(v for o, v in by_object.items() if o and os.path.realpath(o) == program)
        glfw = sum(v for o, v in by_object.items() if o and "libglfw" in o)
        per_frame["program"].append(own)
        per_frame["glfw"].append(glfw)
        per_frame["rest"].append(sum(by_object.values()) - own - glfw)
    if len(per_frame["program"]) < 5:
        raise RuntimeError("callgrind recorded too few frames of " + command[0])
    return {k: median(v) for k, v in per_frame.items()}, len(per_frame["program"])


def measure(bench):
    tools, piece, scratch = bench.tools, bench.piece, bench.scratch
    with Xvfb(SCREEN) as small:
        log("  callgrind: demo")
        demo, counted = callgrind_frames(
            [tools["demo"]], run_env(small.display, LD_PRELOAD=tools["clock"],
                                     VELLOMIRKE_BENCH_CLOCK_SCALE=0.01,
                                     VELLOMIRKE_BENCH_FRAMES=FRAMES), piece, scratch, FRAMES)
        log("  callgrind: baseline")
        baseline, _ = callgrind_frames([tools["baseline"], "--frames", str(FRAMES + 1)],
                                       run_env(small.display), piece, scratch, FRAMES)
    return {"demo": demo, "baseline": baseline, "frames": counted}


def rows(ins, machine):
    return [
        ("CPU instructions per frame, program's own code (callgrind Ir)",
         f"{ins['demo']['program']:.0f}", f"{ins['baseline']['program']:.0f}",
         ratio(ins["demo"]["program"], ins["baseline"]["program"]), ""),
        ("&nbsp;&nbsp;in GLFW", f"{ins['demo']['glfw']:.0f}", f"{ins['baseline']['glfw']:.0f}",
         ratio(ins["demo"]["glfw"], ins["baseline"]["glfw"]), ""),
    ]


def note(ins):
    return f"callgrind figures are medians over {ins['frames']} frames of one run"
