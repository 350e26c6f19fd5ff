"""The pieces that the measurements play."""

import os
import shutil
import subprocess

from harness.tools import REPO


def make_sample_piece(directory):
    """The sample piece: assets' shaders, and a soundtrack so that playback starts."""
    os.mkdir(directory)
    for name in ("vertex.glsl", "fragment.glsl"):
        shutil.copy(os.path.join(REPO, "assets", name), directory)
    track = os.path.join(REPO, "assets", "audio.mp3")
    if os.path.exists(track):
        shutil.copy(track, directory)
    else:
        subprocess.run(["sox", "-n", "-r", "48000", "-c", "2",
                        os.path.join(directory, "audio.mp3"), "synth", "5", "sine", "440"],
                       check=True, stderr=subprocess.DEVNULL)
    return directory


def make_gradient_piece(directory, moving):
    """A silent piece that costs next to nothing to draw: a gradient across
    the screen, with the sample's vertex stage. With `moving` its blue follows
    timeValue; without, it does not read timeValue: one picture, drawn once."""
    os.mkdir(directory)
    shutil.copy(os.path.join(REPO, "assets", "vertex.glsl"), directory)
    blue = "fract(timeValue)" if moving else "0.5"
    with open(os.path.join(directory, "fragment.glsl"), "w") as f:
        f.write("#version 330 core\n" + ("uniform float timeValue;\n" if moving else "") +
                "uniform vec2 windowSize;\nout vec4 colour;\n"
                f"void main() {{ colour = vec4(gl_FragCoord.xy / windowSize, {blue}, 1.0); }}\n")
    return directory
