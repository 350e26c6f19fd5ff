"""The results table in bench/README.md, drawn from a whole run's results."""

import os

from harness.tools import BENCH

README = os.path.join(BENCH, "README.md")
BEGIN = "<!-- results:begin -->"
END = "<!-- results:end -->"


def ratio(a, b):
    return f"{a / b:.2f}x" if b else "n/a"


def total_row(label, program, baseline):
    """A whole start-up, launch to first frame, against its baseline."""
    return (label, f"{program['total']:.1f} ms", f"{baseline['total']:.1f} ms",
            f"{program['ratio_total']:.2f}x", "")


def libraries_row(program, baseline):
    return ("&nbsp;&nbsp;shared objects loaded before main", f"{program['libraries']:.0f}",
            f"{baseline['libraries']:.0f}", "", "")


def phase_row(label, key, program, baseline=None):
    """A part of a start-up in ms, the program's beside its baseline's ("-"
    when the baseline has no such part)."""
    return (f"&nbsp;&nbsp;{label}", f"{program[key]:.1f} ms",
            f"{baseline[key]:.1f} ms" if baseline else "-", "", "")


def table(results, measurements):
    """Each measurement's rows, in the order of `measurements`."""
    lines = ["| Measure | Demo | Baseline | Ratio | Target |", "|---|---|---|---|---|"]
    for measurement in measurements:
        for row in measurement.rows(results[measurement.NAME], results["machine"]):
            lines.append("| " + " | ".join(row) + " |")
    return "\n".join(lines)


def footnote(results, measurements):
    m = results["machine"]
    parts = [f"Measured {m['date']} on {m['cpu']} ({m['cores']} cores), {m['renderer']}, "
             f"{results['runs']} runs each"]
    parts += [measurement.note(results[measurement.NAME]) for measurement in measurements
              if hasattr(measurement, "note")]
    return "; ".join(parts) + "."


def fill_readme(results, measurements):
    """Replaces what lies between the result markers of bench/README.md."""
    with open(README) as f:
        text = f.read()
    if BEGIN not in text or END not in text:
        raise RuntimeError("bench/README.md has lost its result markers")
    head, rest = text.split(BEGIN, 1)
    _, tail = rest.split(END, 1)
    block = (f"{BEGIN}\n{table(results, measurements)}\n\n"
             f"{footnote(results, measurements)}\n{END}")
    with open(README, "w") as f:
        f.write(head + block + tail)
