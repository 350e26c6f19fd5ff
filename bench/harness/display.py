"""Private X displays, and what the machine under them is."""

import os
import re
import subprocess
import time

from harness.processes import run_env
from harness.tools import REPO


class Xvfb:
    """A private X server on a display number of its own choosing, started by
    capture/xvfb-display as the scripts start theirs."""

    def __init__(self, screen):
        self.process = subprocess.Popen(
            [os.path.join(REPO, "capture", "xvfb-display"), screen + "x24"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        number = self.process.stdout.readline().strip()
        self.process.stdout.close()
        if not number:
            self.process.wait()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.process.terminate()
        self.process.wait()


def machine(display):
    """The processor, its cores, the GL renderer on `display`, and the date."""
    cpu = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    cpu = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    renderer = "unknown renderer"
    try:
        info = subprocess.run(["glxinfo", "-B"], env=run_env(display), capture_output=True,
                              text=True, timeout=30).stdout
        m = re.search(r"OpenGL renderer string: (.*)", info)
        if m:
            renderer = m.group(1).strip()
    except (OSError, subprocess.SubprocessError):
        pass
    return {"cpu": cpu, "cores": os.cpu_count(), "renderer": renderer,
            "date": time.strftime("%Y-%m-%d")}
