"""vellomirke-live: launch to first picture against the windowed baseline, and
the processor time of a picture that stands still."""

import os
import re
import subprocess
from collections import defaultdict

from harness.pieces import make_piece
from harness.processes import log, median, run_env, startup_stamps

NAME = "live"
TITLE = "vellomirke-live"

# Seconds over which a still picture's processor time is taken.
IDLE_SECONDS = 10

# A piece that does not read timeValue: one picture, drawn once.
STATIC_PIECE = """#version 330 core
uniform vec2 windowSize;
out vec4 colour;
void main() { colour = vec4(gl_FragCoord.xy / windowSize, 0.5, 1.0); }
"""


def live_phases(s):
    """Start-up of vellomirke-live, or of the windowed baseline, from its stamps."""
    phases = {
        "libraries": s["libraries"],
        "total": s["firstFrame"],
        "before_glfwInit": s["glfwInit.begin"],
        "glfwInit": s["glfwInit.end"] - s["glfwInit.begin"],
        "window": s["window"] - s["glfwInit.end"],
    }
    if "size" in s:  # vellomirke-live
        # The first glfwGetTime starts the piece's clock, after the build.
        phases["loader"] = s["swapInterval"] - s["current"]
        phases["target_and_build"] = s["time"] - s["swapInterval"]
        phases["before_first_draw"] = s["poll"] - s["time"]
        phases["first_draw"] = s["size"] - s["poll"]
        phases["first_present"] = s["firstFrame"] - s["size"]
    else:
        phases["first_frame"] = s["firstFrame"] - s["window"]
    return phases


def idle_cpu(tools, display, title, command, key=None):
    """Percent of one core over IDLE_SECONDS once the window's title starts
    with `title`; with `key`, after pressing it and the title saying "paused"."""
    args = [tools["idle"], str(IDLE_SECONDS), title]
    if key:
        args += ["--key", key, "--shows", "paused"]
    done = subprocess.run(args + command, env=run_env(display), capture_output=True, text=True,
                          timeout=IDLE_SECONDS + 120)
    m = re.search(r"cpu_percent ([\d.]+)", done.stdout)
    if done.returncode != 0 or not m:
        raise RuntimeError("idle_cpu failed: " + done.stderr)
    return float(m.group(1))


def measure(bench):
    tools, display, piece = bench.tools, bench.display, bench.piece
    still_piece = make_piece(os.path.join(bench.scratch, "still"), STATIC_PIECE)
    live, baseline = defaultdict(list), defaultdict(list)
    windowed = [tools["baseline"], "--windowed"]
    for i in range(bench.runs):
        log(f"  vellomirke-live run {i + 1}/{bench.runs}")
        # Alternating, as for the demo's start-up.
        for command, into in ((windowed, baseline), ([tools["live"], piece], live)):
            stamps = startup_stamps(tools, command, display, piece, bench.scratch)
            for key, value in live_phases(stamps).items():
                into[key].append(value)
        live["ratio_total"].append(live["total"][-1] / baseline["total"][-1])
        baseline["cpu"].append(idle_cpu(tools, display, "Baseline - ", windowed + ["--still"]))
        live["cpu_paused"].append(
            idle_cpu(tools, display, "vellomirke-live - ", [tools["live"], piece], key="p"))
        live["cpu_static"].append(
            idle_cpu(tools, display, "vellomirke-live - ", [tools["live"], still_piece]))
    return {"live": {k: median(v) for k, v in live.items()},
            "baseline": {k: median(v) for k, v in baseline.items()},
            "runs": {"live": dict(live), "baseline": dict(baseline)}}


def rows(r, machine):
    d, b = r["live"], r["baseline"]
    return [
        ("vellomirke-live: launch to first picture (sample piece, 1280x720 window)",
         f"{d['total']:.1f} ms", f"{b['total']:.1f} ms", f"{d['ratio_total']:.2f}x", ""),
        ("&nbsp;&nbsp;shared objects loaded before main", f"{d['libraries']:.0f}",
         f"{b['libraries']:.0f}", "", ""),
        ("&nbsp;&nbsp;launch to glfwInit (loading)", f"{d['before_glfwInit']:.1f} ms",
         f"{b['before_glfwInit']:.1f} ms", "", ""),
        ("&nbsp;&nbsp;glfwInit", f"{d['glfwInit']:.1f} ms", f"{b['glfwInit']:.1f} ms", "", ""),
        ("&nbsp;&nbsp;window and context", f"{d['window']:.1f} ms", f"{b['window']:.1f} ms",
         "", ""),
        ("&nbsp;&nbsp;GL loader", f"{d['loader']:.1f} ms", "-", "", ""),
        ("&nbsp;&nbsp;1920x1080 target, presenter, first build",
         f"{d['target_and_build']:.1f} ms", "-", "", ""),
        ("&nbsp;&nbsp;first draw (the driver finishes the program)",
         f"{d['first_draw']:.1f} ms", "-", "", ""),
        ("&nbsp;&nbsp;first present and swap (the piece drawn, scaled into the window)",
         f"{d['first_present']:.1f} ms", f"{b['first_frame']:.1f} ms (a cleared frame)", "",
         ""),
        (f"vellomirke-live: CPU while paused, over {IDLE_SECONDS} s (sample piece and "
         "soundtrack)", f"{d['cpu_paused']:.1f}% of a core", f"{b['cpu']:.1f}% (still window)",
         "", "< 5%"),
        (f"vellomirke-live: CPU for a piece without timeValue, over {IDLE_SECONDS} s",
         f"{d['cpu_static']:.1f}% of a core", f"{b['cpu']:.1f}% (still window)", "", "< 5%"),
    ]
