#pragma once

#include "Options.h"

// Runs the piece in `options.dir` in a window until the author closes it:
// drawn as the demo draws it, rebuilt on every save, with the time and the
// music under the author's keys. Returns the exit status.
int runPiece(const Options& options);
