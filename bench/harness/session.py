"""One invocation's measurements: built tools, a scratch folder with the
sample piece, and a private display shared by every measurement that does
not bring its own."""

import os
import tempfile
from dataclasses import dataclass, replace
from typing import Optional

from harness.display import Xvfb, machine
from harness.pieces import make_sample_piece
from harness.processes import log

# The demo's screen, on which most measurements run.
SCREEN = "1920x1080"


@dataclass
class Bench:
    """What a measurement is given."""
    tools: dict          # paths of the built programs and shims, by name
    build_dir: str
    piece: str           # the sample piece, with its soundtrack
    scratch: str         # a folder for the measurement's own files
    runs: int            # runs per figure, for the medians
    display: Optional[str] = None  # the shared display; None for OWN_DISPLAY


def measure_all(measurements, tools, build_dir, runs):
    """The results of `measurements`, by name, with the machine's description.
    Those on the shared display run first, in their order; then those with a
    display of their own (OWN_DISPLAY), once the shared one has gone."""
    results = {"runs": runs}
    shared = [m for m in measurements if not getattr(m, "OWN_DISPLAY", False)]
    own = [m for m in measurements if getattr(m, "OWN_DISPLAY", False)]
    with tempfile.TemporaryDirectory(prefix="vellomirke-bench-") as scratch:
        bench = Bench(tools, build_dir, make_sample_piece(os.path.join(scratch, "piece")),
                      scratch, runs)
        with Xvfb(SCREEN) as x:
            results["machine"] = machine(x.display)
            for measurement in shared:
                log(measurement.TITLE)
                results[measurement.NAME] = measurement.measure(replace(bench, display=x.display))
        for measurement in own:
            log(measurement.TITLE)
            results[measurement.NAME] = measurement.measure(bench)
    return results
