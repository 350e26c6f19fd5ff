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


def make_piece(directory, fragment):
    """A silent piece: the sample's vertex stage and `fragment`'s source."""
    os.mkdir(directory)
    shutil.copy(os.path.join(REPO, "assets", "vertex.glsl"), directory)
    with open(os.path.join(directory, "fragment.glsl"), "w") as f:
        f.write(fragment)
    return directory
