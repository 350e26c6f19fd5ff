"""The capture's frame rate, for the sample piece and a one-line gradient,
against the limit that the demo's render and ffmpeg's encoding set."""

import os
import re
import subprocess
import time

from harness.pieces import make_gradient_piece
from harness.processes import log, run_env, run_with_output
from harness.tools import REPO

NAME = "capture"
TITLE = "capture"

# Frames per second of video: 301 frames of each piece, which keeps the
# measurement to a couple of minutes on a two-core machine.
CAPTURE_FPS = 10

# Both ways of converting the frames to YUV run on any machine: the capture
# library picks the CPU under a software renderer and the GPU pass otherwise.
CONVERSIONS = ("gpu", "cpu")


# ffmpeg's settings in recording/VideoEncoder.cpp, for the frames it is fed.
def encoder_command(raw, fps, out):
    return ["ffmpeg", "-hide_banner", "-nostats", "-loglevel", "error",
            "-f", "rawvideo", "-pix_fmt", "yuv420p", "-video_size", "1920x1080",
            "-framerate", str(fps), "-i", raw,
            "-color_primaries", "bt709", "-color_trc", "bt709", "-colorspace", "bt709",
            "-color_range", "tv", "-c:v", "libx264", "-profile:v", "high", "-preset", "veryfast",
            "-crf", "18", "-f", "mp4", "-y", out]


def live_rate(tools, display, piece, scratch):
    """Frames per second of a plain 30-second run, first swap to last."""
    out = os.path.join(scratch, "swaps.txt")
    rows = dict(run_with_output([tools["demo"]], run_env(
        display, LD_PRELOAD=tools["swaps"], VELLOMIRKE_BENCH_OUT=out), piece, out))
    return (int(rows["swaps"]) - 1) / float(rows["seconds"])


def capture_rate(build_dir, piece, video, conversion):
    """scripts/capture's own figure: frames over the time from the first frame
    to the last one encoded, with the frames converted to YUV by `conversion`
    (the GPU pass, or the CPU)."""
    done = subprocess.run([os.path.join(REPO, "scripts", "capture"), "--fps", str(CAPTURE_FPS),
                           "--assets", piece, "--out", video],
                          env=dict(os.environ, VELLOMIRKE_BUILD_DIR=build_dir,
                                   VELLOMIRKE_CAPTURE_CONVERT=conversion),
                          capture_output=True, text=True, timeout=900)
    m = re.search(r"capture: (\d+) frames in \S+, ([\d.]+) frames per second", done.stderr)
    if done.returncode != 0 or not m:
        raise RuntimeError("scripts/capture failed: " + done.stderr)
    return float(m.group(2)), int(m.group(1))


def encoder_rate(video, frames, scratch):
    """ffmpeg alone, encoding the capture's own frames as the capture feeds
    them (raw YUV 4:2:0 from a file in memory)."""
    raw = os.path.join(scratch, "frames.yuv")
    subprocess.run(["ffmpeg", "-hide_banner", "-loglevel", "error", "-i", video, "-f",
                    "rawvideo", "-pix_fmt", "yuv420p", "-y", raw], check=True)
    # Read once, so that the timed run finds the frames in the page cache.
    with open(raw, "rb") as f:
        while f.read(1 << 24):
            pass
    started = time.monotonic()
    subprocess.run(encoder_command(raw, CAPTURE_FPS, os.path.join(scratch, "alone.mp4")),
                   check=True)
    seconds = time.monotonic() - started
    os.remove(raw)
    return frames / seconds


def software_renderer(renderer):
    return any(name in renderer.lower()
               for name in ("llvmpipe", "softpipe", "software rasterizer", "swrast"))


def measure(bench):
    scratch = bench.scratch
    # The cheap piece, for which the render is nearly free.
    gradient = make_gradient_piece(os.path.join(scratch, "gradient"), moving=True)
    results = {}
    for name, piece in (("sample", bench.piece), ("gradient", gradient)):
        log(f"  capture: {name} live")
        live = live_rate(bench.tools, bench.display, piece, scratch)
        captured = {}
        video = os.path.join(scratch, "capture.mp4")
        for conversion in CONVERSIONS:
            log(f"  capture: {name} captured at {CAPTURE_FPS} fps, converted on the "
                f"{conversion.upper()}")
            captured[conversion], frames = capture_rate(bench.build_dir, piece, video, conversion)
        log(f"  capture: {name} encoder alone")
        encoded = encoder_rate(video, frames, scratch)
        limit = 1.0 / (1.0 / live + 1.0 / encoded)
        results[name] = {"live": live, "encoder": encoded, "limit": limit, "frames": frames,
                         "capture": captured,
                         "ratio": {c: rate / limit for c, rate in captured.items()}}
    return results


def rows(c, machine):
    chosen = "cpu" if software_renderer(machine["renderer"]) else "gpu"
    where = {"cpu": "on the CPU", "gpu": "in the GPU pass"}
    rows = []
    for name, label in (("sample", "the sample piece"), ("gradient", "a one-line gradient")):
        p = c[name]
        for conversion in sorted(CONVERSIONS, key=lambda k: k != chosen):
            first = conversion == chosen
            rows.append(
                ((f"Capture of {label} at {CAPTURE_FPS} fps: frames per second, "
                  if first else "&nbsp;&nbsp;the same, ") +
                 f"converted {where[conversion]}" + (" (chosen here)" if first else ""),
                 f"{p['capture'][conversion]:.1f}", f"{p['limit']:.1f} (limit)",
                 f"{p['ratio'][conversion]:.2f}x", ">= 0.95x" if first else ""))
        rows += [
            ("&nbsp;&nbsp;live render (plain run, swaps in 30 s)", f"{p['live']:.1f}", "", "", ""),
            ("&nbsp;&nbsp;ffmpeg alone on the capture's frames (YUV 4:2:0)",
             f"{p['encoder']:.1f}", "", "", ""),
        ]
    return rows
