"""Start-up of the demo, launch to first frame, against the baseline; and the
audio offset from the same stamps."""

from collections import defaultdict

from harness.processes import log, median, startup_stamps

NAME = "startup"
TITLE = "start-up"


def split_phases(stamps):
    """The phases of one start-up, in ms, from its stamps."""
    s = stamps
    phases = {
        "libraries": s["libraries"],
        "total": s["firstFrame"],
        "before_glfwInit": s["glfwInit.begin"],
        "glfwInit": s["glfwInit.end"] - s["glfwInit.begin"],
        "window": s["window"] - s["glfwInit.end"],
        "make_current": s["current"] - s["window"],
        "first_frame": s["firstFrame"] - s["loop"],
    }
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
    return {"demo": {k: median(v) for k, v in demo.items()},
            "baseline": {k: median(v) for k, v in baseline.items()},
            "runs": {"demo": dict(demo), "baseline": dict(baseline)}}


def rows(r, machine):
    d, b = r["demo"], r["baseline"]
    return [
        ("Start-up: launch to first frame presented", f"{d['total']:.1f} ms",
         f"{b['total']:.1f} ms", f"{d['ratio_total']:.2f}x", ""),
        ("&nbsp;&nbsp;shared objects loaded before main", f"{d['libraries']:.0f}",
         f"{b['libraries']:.0f}", "", ""),
        ("&nbsp;&nbsp;launch to glfwInit (loading; soundtrack open and App)",
         f"{d['before_glfwInit']:.1f} ms", f"{b['before_glfwInit']:.1f} ms", "", ""),
        ("&nbsp;&nbsp;glfwInit", f"{d['glfwInit']:.1f} ms", f"{b['glfwInit']:.1f} ms", "", ""),
        ("&nbsp;&nbsp;full-screen window and context", f"{d['window']:.1f} ms",
         f"{b['window']:.1f} ms", "", ""),
        ("&nbsp;&nbsp;context made current", f"{d['make_current']:.1f} ms",
         f"{b['make_current']:.1f} ms", "", ""),
        ("&nbsp;&nbsp;GL loader (gladLoadGL)", f"{d['loader']:.1f} ms", "-", "", ""),
        ("&nbsp;&nbsp;shader build and use, viewport", f"{d['shader_build']:.1f} ms", "-", "",
         ""),
        ("&nbsp;&nbsp;geometry, clear colour, playLooping", f"{d['geometry']:.1f} ms", "-", "",
         ""),
        ("&nbsp;&nbsp;first frame (draw, swap)", f"{d['first_frame']:.1f} ms",
         f"{b['first_frame']:.1f} ms", "", ""),
        ("Start-up less shader work (the build, and the first frame's excess over the "
         "baseline's)", f"{d['without_shader_work']:.1f} ms", f"{b['total']:.1f} ms",
         f"{d['ratio_without_shader_work']:.2f}x", "<= 1.03x"),
        ("Audio offset: glfwInit to playLooping()",
         f"{d['glfwInit_to_playLooping']:.1f} ms", "", "", ""),
        ("Audio offset: playLooping() to first audible sample (output buffer)",
         "see bench/audio", "", "", "<= 25 ms"),
    ]
