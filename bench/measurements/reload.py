"""One Space rebuild (reload_bench), with the driver's shader cache and
without it, against an ordinary frame; and vellomirke-live's strict check of
a save (save_check_bench) beside the driver's build of the same texts."""

import subprocess
from collections import defaultdict

from harness.processes import log, median, run_env
from harness.table import ratio

NAME = "reload"
TITLE = "reload"


def measure(bench):
    # Mesa keeps compiled shaders in a disk cache: Space with the files
    # unchanged finds them there, an edited file does not. Both are measured;
    # the second with the cache switched off.
    # The strict check (glslang) is measured beside the driver's build of the
    # same edited texts, so with the cache off too.
    results = {"cached": defaultdict(list), "uncached": defaultdict(list),
               "save_check": defaultdict(list)}
    uncached = {"MESA_SHADER_CACHE_DISABLE": "true"}
    for i in range(bench.runs):
        log(f"  reload run {i + 1}/{bench.runs}")
        for kind, tool, extra in (("cached", "reload", {}), ("uncached", "reload", uncached),
                                  ("save_check", "save_check", uncached)):
            out = subprocess.run([bench.tools[tool], "vertex.glsl", "fragment.glsl", "10"],
                                 env=run_env(bench.display, **extra), cwd=bench.piece,
                                 capture_output=True, text=True, timeout=300, check=True).stdout
            for line in out.splitlines():
                key, value = line.split()
                results[kind][key].append(float(value))
    return {kind: {k: median(v) for k, v in r.items()} for kind, r in results.items()}


def rows(r, machine):
    warm, cold, check = r["cached"], r["uncached"], r["save_check"]
    return [
        ("One Space rebuild, files unchanged (driver's shader cache hit): build and use",
         f"{warm['build']:.1f} ms", f"{warm['frame']:.1f} ms (a frame)",
         ratio(warm["build"], warm["frame"]), ""),
        ("&nbsp;&nbsp;the first frame with the new program", f"{warm['first_frame']:.1f} ms",
         f"{warm['frame']:.1f} ms (a frame)", ratio(warm["first_frame"], warm["frame"]), ""),
        ("One Space rebuild, files edited (no cache): build and use",
         f"{cold['build']:.1f} ms", f"{cold['frame']:.1f} ms (a frame)",
         ratio(cold["build"], cold["frame"]), ""),
        ("&nbsp;&nbsp;the first frame with the new program", f"{cold['first_frame']:.1f} ms",
         f"{cold['frame']:.1f} ms (a frame)", ratio(cold["first_frame"], cold["frame"]), ""),
        ("vellomirke-live: a save's strict check (glslang, GLSL 3.30 core), after the picture",
         f"{check['strict_check']:.1f} ms", f"{check['driver_build']:.1f} ms (driver's build)",
         ratio(check["strict_check"], check["driver_build"]), ""),
        ("&nbsp;&nbsp;the first in a process (glslang makes its symbol tables)",
         f"{check['first_strict_check']:.1f} ms", "", "", ""),
    ]
