#pragma once

#include "Finding.h"
#include "StageInterface.h"

// What the demo gives a piece against what its stages declare, one finding
// per input: the rectangle's corners as a vec3 at attribute location 0, and
// timeValue (float) and windowSize (vec2) where declared. A uniform of
// another type silently gets nothing in the demo, so it is an error here.
Findings checkDemoInputs(const PieceInterface& piece);
