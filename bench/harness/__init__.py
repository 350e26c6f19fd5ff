"""What every measurement of bench/run uses: the built tools, private X
displays, processes run with the timing shims, the sample piece, and the
table in bench/README.md. The measurements themselves are in measurements/."""
