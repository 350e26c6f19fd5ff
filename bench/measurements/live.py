"""vellomirke-live: launch to first picture against the windowed baseline, and
the processor time of a picture that stands still."""

import os
import re
import subprocess
from collections import defaultdict

from harness.pieces import make_gradient_piece
from harness.processes import launch_phases, log, medians, run_env, startup_stamps
from harness.table import libraries_row, phase_row, total_row

NAME = "live"
TITLE = "vellomirke-live"

# Seconds over which a still picture's processor time is taken.
IDLE_SECONDS = 10


def live_phases(s):
    """Start-up of vellomirke-live, or of the windowed baseline, from its stamps."""
    phases = launch_phases(s)
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
    still_piece = make_gradient_piece(os.path.join(bench.scratch, "still"), moving=False)
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
    return medians(live=live, baseline=baseline)


def rows(r, machine):
    d, b = r["live"], r["baseline"]
    return [
        total_row("vellomirke-live: launch to first picture (sample piece, 1280x720 window)",
                  d, b),
        libraries_row(d, b),
        phase_row("launch to glfwInit (loading)", "before_glfwInit", d, b),
        phase_row("glfwInit", "glfwInit", d, b),
        phase_row("window and context", "window", d, b),
        phase_row("GL loader", "loader", d),
        phase_row("1920x1080 target, presenter, first build", "target_and_build", d),
        phase_row("first draw (the driver finishes the program)", "first_draw", d),
        ("&nbsp;&nbsp;first present and swap (the piece drawn, scaled into the window)",
         f"{d['first_present']:.1f} ms", f"{b['first_frame']:.1f} ms (a cleared frame)", "",
         ""),
        (f"vellomirke-live: CPU while paused, over {IDLE_SECONDS} s (sample piece and "
         "soundtrack)", f"{d['cpu_paused']:.1f}% of a core", f"{b['cpu']:.1f}% (still window)",
         "", "< 5%"),
        (f"vellomirke-live: CPU for a piece without timeValue, over {IDLE_SECONDS} s",
         f"{d['cpu_static']:.1f}% of a core", f"{b['cpu']:.1f}% (still window)", "", "< 5%"),
    ]
