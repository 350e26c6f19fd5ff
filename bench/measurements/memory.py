"""Resident memory of a plain 30-second run at 5 s and at 25 s."""

import subprocess
import time

from harness.processes import log, median, run_env
from harness.table import ratio

NAME = "memory"
TITLE = "resident memory"


def resident_kib(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def measure(bench):
    at5, at25 = [], []
    for i in range(bench.runs):
        log(f"  memory run {i + 1}/{bench.runs} (30 s)")
        started = time.monotonic()
        demo = subprocess.Popen([bench.tools["demo"]], env=run_env(bench.display),
                                cwd=bench.piece, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)
        samples = {}
        try:
            for mark in (5, 25):
                time.sleep(max(0.0, started + mark - time.monotonic()))
                samples[mark] = resident_kib(demo.pid)
            demo.wait(timeout=60)
        finally:
            if demo.poll() is None:
                demo.kill()
                demo.wait()
        if None in samples.values():
            raise RuntimeError("the demo ended before 25 s")
        at5.append(samples[5] / 1024)
        at25.append(samples[25] / 1024)
    return {"at_5s": median(at5), "at_25s": median(at25), "runs": {"at_5s": at5, "at_25s": at25}}


def rows(mem, machine):
    return [
        ("Resident memory at 5 s", f"{mem['at_5s']:.1f} MiB", "", "", ""),
        ("Resident memory at 25 s", f"{mem['at_25s']:.1f} MiB", f"{mem['at_5s']:.1f} MiB (5 s)",
         ratio(mem["at_25s"], mem["at_5s"]), "1.00x (no growth)"),
    ]
