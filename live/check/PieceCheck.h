#pragma once

#include "Options.h"

#include <string>

// The command `--check [DIR]`: the piece in DIR looked over as every machine
// that shows it will see it, one line per point on standard output, in
// order: each shader file present and text; both built and linked as GLSL
// 3.30 core; the inputs the demo gives (DemoInputs.h); the web page's GLSL
// ES 3.00; audio.mp3, with its tempo and first downbeat (found in it, or
// `options.bpm`). Then a summary. Opens no window, needs no display,
// writes nothing. Returns 0 when nothing would stop the piece (warnings
// may stand), 1 otherwise.
int checkPiece(const Options& options);
