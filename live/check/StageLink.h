#pragma once

#include "Finding.h"
#include "StageInterface.h"

// What a linker checks between the two stages beyond glslang's, which leaves
// the stages' interface alone for desktop GLSL: every input that the
// fragment stage uses is an output of the vertex stage of the same type and
// interpolation (errors: GLSL 3.30 makes each a link error, though Mesa only
// warns of a missing output), and one that the vertex stage never writes
// reads an undefined value (a warning).
Findings linkInterface(const PieceInterface& piece);
