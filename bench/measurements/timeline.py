"""vellomirke-live's timeline: the soundtrack's analysis (timeline_bench)
against decoding alone, for the sample's 30 s and for a 10-minute track; the
strip's share of a present; and the first picture with and without
audio.mp3, whose analysis starts only after it."""

import os
import shutil
import subprocess
from collections import defaultdict

from harness.processes import launch_phases, log, median, run_env, startup_stamps
from harness.table import ratio

NAME = "timeline"
TITLE = "vellomirke-live's timeline"


def timeline_bench(bench, track, rounds):
    out = subprocess.run([bench.tools["timeline"], track, str(rounds)],
                         env=run_env(bench.display), capture_output=True, text=True,
                         timeout=600, check=True).stdout
    return {key: float(value) for key, value in (line.split() for line in out.splitlines())}


def measure(bench):
    # Ten minutes of a pulsing chord: the analysis reads the 30 s that a
    # piece plays, however long the file.
    long_track = os.path.join(bench.scratch, "ten-minutes.mp3")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", long_track, "synth", "600",
                    "sine", "110", "sine", "165", "tremolo", "2", "80"],
                   check=True, stderr=subprocess.DEVNULL)
    silent = os.path.join(bench.scratch, "silent")
    os.mkdir(silent)
    for name in ("vertex.glsl", "fragment.glsl"):
        shutil.copy(os.path.join(bench.piece, name), silent)

    sample, ten, first = defaultdict(list), defaultdict(list), defaultdict(list)
    for i in range(bench.runs):
        log(f"  timeline run {i + 1}/{bench.runs}")
        for key, value in timeline_bench(bench, os.path.join(bench.piece, "audio.mp3"), 3).items():
            sample[key].append(value)
        for key, value in timeline_bench(bench, long_track, 1).items():
            ten[key].append(value)
        # Alternating, as for the other start-ups.
        for piece, key in ((bench.piece, "with_audio"), (silent, "without_audio")):
            stamps = startup_stamps(bench.tools, [bench.tools["live"], piece], bench.display,
                                    piece, bench.scratch)
            first[key].append(launch_phases(stamps)["total"])
    return {side: {k: median(v) for k, v in values.items()}
            for side, values in (("sample", sample), ("ten", ten), ("first", first))}


def rows(r, machine):
    s, t, f = r["sample"], r["ten"], r["first"]
    return [
        ("vellomirke-live timeline: the sample soundtrack analysed (30 s: loudness, onsets, "
         "tempo)", f"{s['analysis']:.1f} ms", f"{s['decoding']:.1f} ms (decoding alone)",
         ratio(s["analysis"], s["decoding"]), ""),
        ("&nbsp;&nbsp;a 10-minute track (the 30 s that a piece plays)", f"{t['analysis']:.1f} ms",
         f"{t['decoding']:.1f} ms (decoding alone)", ratio(t["analysis"], t["decoding"]), ""),
        ("&nbsp;&nbsp;a present of the 1280x720 window with the strip", f"{s['present_with_strip']:.1f} ms",
         f"{s['present_without']:.1f} ms (without)",
         ratio(s["present_with_strip"], s["present_without"]), ""),
        ("&nbsp;&nbsp;launch to first picture, sample piece without audio.mp3",
         f"{f['without_audio']:.1f} ms", f"{f['with_audio']:.1f} ms (with it)",
         ratio(f["without_audio"], f["with_audio"]), ""),
    ]
