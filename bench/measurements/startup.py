"""Start-up of the demo, launch to first frame, against the baseline; and the
audio offset from the same stamps."""

from collections import defaultdict

from harness.processes import launch_phases, log, medians, startup_stamps
from harness.table import libraries_row, phase_row, total_row

NAME = "startup"
TITLE = "start-up"


def split_phases(s):
    """The phases of one start-up of the demo or the baseline, from its stamps."""
    phases = launch_phases(s)
    phases["make_current"] = s["current"] - s["window"]
    phases["first_frame"] = s["firstFrame"] - s["loop"]
    if "resizeCallback" in s:  # the demo
        phases["loader"] = s["swapInterval"] - s["current"]
        phases["shader_build"] = s["resizeCallback"] - s["swapInterval"]
        phases["geometry"] = s["loop"] - s["resizeCallback"]
        phases["glfwInit_to_playLooping"] = s["loop"] - s["glfwInit.begin"]
    else:
        phases["rest"] = s["loop"] - s["current"]
    return phases


def measure(bench):
    tools = bench.tools
    demo, baseline = defaultdict(list), defaultdict(list)
    for i in range(bench.runs):
        log(f"  start-up run {i + 1}/{bench.runs}")
        # Baseline and demo alternate, so that a busy moment hits both.
        for program, into in ((tools["baseline"], baseline), (tools["demo"], demo)):
            stamps = startup_stamps(tools, program, bench.display, bench.piece, bench.scratch)
            for key, value in split_phases(stamps).items():
                into[key].append(value)
        # The demo less its shader work: the build, and whatever its first
        # frame costs beyond the baseline's cleared one (the driver finishing
        # the program, and drawing it), paired with this run's baseline.
        shader_work = demo["shader_build"][-1] + demo["first_frame"][-1] - \
            baseline["first_frame"][-1]
        demo["without_shader_work"].append(demo["total"][-1] - shader_work)
        demo["ratio_without_shader_work"].append(
            demo["without_shader_work"][-1] / baseline["total"][-1])
        demo["ratio_total"].append(demo["total"][-1] / baseline["total"][-1])
    return medians(demo=demo, baseline=baseline)


def rows(r, machine):
    d, b = r["demo"], r["baseline"]
    return [
        total_row("Start-up: launch to first frame presented", d, b),
        libraries_row(d, b),
        phase_row("launch to glfwInit (loading; soundtrack open and App)", "before_glfwInit",
                  d, b),
        phase_row("glfwInit", "glfwInit", d, b),
        phase_row("full-screen window and context", "window", d, b),
        phase_row("context made current", "make_current", d, b),
        phase_row("GL loader (gladLoadGL)", "loader", d),
        phase_row("shader build and use, viewport", "shader_build", d),
        phase_row("geometry, clear colour, playLooping", "geometry", d),
        phase_row("first frame (draw, swap)", "first_frame", d, b),
        ("Start-up less shader work (the build, and the first frame's excess over the "
         "baseline's)", f"{d['without_shader_work']:.1f} ms", f"{b['total']:.1f} ms",
         f"{d['ratio_without_shader_work']:.2f}x", "<= 1.03x"),
        ("Audio offset: glfwInit to playLooping()",
         f"{d['glfwInit_to_playLooping']:.1f} ms", "", "", ""),
        ("Audio offset: playLooping() to first audible sample (output buffer)",
         "see bench/audio", "", "", "<= 25 ms"),
    ]
