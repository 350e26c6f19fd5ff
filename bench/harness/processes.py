"""Running the programs under measurement, and the figures they leave."""

import os
import statistics
import subprocess
import sys


def log(message):
    print(message, file=sys.stderr, flush=True)


def median(values):
    return statistics.median(values) if values else float("nan")


def medians(**sides):
    """For each side (the program, its baseline) a list of figures per name:
    their medians by side, and every run's figures under "runs"."""
    result = {side: {name: median(v) for name, v in figures.items()}
              for side, figures in sides.items()}
    result["runs"] = {side: dict(figures) for side, figures in sides.items()}
    return result


def run_env(display, **extra):
    env = dict(os.environ)
    env["DISPLAY"] = display
    # No sound card is needed; a real one can be chosen with SDL_AUDIODRIVER.
    env.setdefault("SDL_AUDIODRIVER", "dummy")
    env.update({k: str(v) for k, v in extra.items()})
    return env


def run_with_output(command, env, cwd, out_path, timeout=120):
    """Runs `command` and returns the rows, split into words, of the file that
    a preloaded shim writes to out_path."""
    if os.path.exists(out_path):
        os.remove(out_path)
    subprocess.run(command, env=env, cwd=cwd, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=timeout)
    if not os.path.exists(out_path):
        raise RuntimeError("no result from " + " ".join(command))
    with open(out_path) as f:
        return [line.split() for line in f if line.strip()]


def launch_phases(s):
    """What every start-up has, from its stamps: the shared objects loaded
    before main (a count), and in ms launch to first frame, the loading
    before glfwInit, glfwInit, and the window with its context."""
    return {
        "libraries": s["libraries"],
        "total": s["firstFrame"],
        "before_glfwInit": s["glfwInit.begin"],
        "glfwInit": s["glfwInit.end"] - s["glfwInit.begin"],
        "window": s["window"] - s["glfwInit.end"],
    }


def startup_stamps(tools, program, display, piece, scratch):
    """The start-up timing shim's stamps, in ms from launch, of one start of
    `program` (a path, or a command with its arguments)."""
    command = [program] if isinstance(program, str) else list(program)
    out = os.path.join(scratch, "stamps.txt")
    rows = run_with_output([tools["launch"]] + command,
                           run_env(display, LD_PRELOAD=tools["timing"],
                                   VELLOMIRKE_BENCH_OUT=out), piece, out)
    stamps = {}
    for name, ms in rows:
        ms = float(ms)  # or, for "libraries", a count
        # GLFW makes the context current inside glfwCreateWindow as well;
        # the program's own call is the first one after the window exists.
        if name == "current" and "window" not in stamps:
            continue
        stamps.setdefault(name, ms)
    return stamps
