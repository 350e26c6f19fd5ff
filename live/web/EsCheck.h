#pragma once

#include "EsTranslation.h"

#include <string>
#include <vector>

// Builds the two translated stages with glslang, the GLSL ES front end of
// the Khronos group, as a browser's WebGL2 would: each stage on its own,
// then the pair linked. Returns each error as "fragment.glsl:8: error: ...",
// at the line of the author's file; none when both build.
std::vector<std::string> checkForWebGl(const EsStage& vertex, const EsStage& fragment);
