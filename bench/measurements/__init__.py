"""The measurements of bench/run, one module each, registered below.

A measurement module has
  NAME         its key in the results and for --only
  TITLE        what the log says as it starts
  measure(b)   its figures, given a harness.session.Bench
  rows(r, m)   its rows of the table in bench/README.md, from its figures r
               and the machine's description m
and may have
  note(r)      a sentence for the table's foot
  OWN_DISPLAY  True when it starts a display of its own: it runs after those
               that share the demo's 1920x1080 one.
"""

from measurements import (allocations, capture, instructions, live, memory, reload, startup,
                          timeline)

# In the order of the table's rows.
MEASUREMENTS = (startup, allocations, instructions, reload, memory, live, timeline, capture)
