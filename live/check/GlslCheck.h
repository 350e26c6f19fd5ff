#pragma once

#include "EsTranslation.h"
#include "Finding.h"
#include "StageInterface.h"

#include <string>

// A piece's two stages as glslang builds them: the Khronos group's reference
// front end, strict where drivers differ. The save check, --check and
// --export-web all ask here.

struct GlslVerdict {
    // Errors and warnings at the author's lines: the vertex stage's, the
    // fragment stage's, then the pair's.
    Findings findings;
    // What the stages declare, where both compiled.
    PieceInterface interface;

    bool refused() const { return countAt(findings, Finding::Level::Error) > 0; }
};

// GLSL 3.30 core, as the demo's OpenGL 3.3 core context takes it: each stage
// with its own #version line (a missing one, a compatibility or ES profile,
// or a version a core context does not take are errors; a later version is a
// warning: it needs more than OpenGL 3.3), then the two linked, their
// interface matched as drivers match it (StageLink.h).
GlslVerdict checkAsGlsl330(const std::string& vertex, const std::string& fragment);

// GLSL ES 3.00, as a browser's WebGL2 builds the stages that --export-web
// writes (EsTranslation.h). Errors only, at the author's lines: what a
// browser would refuse.
Findings checkAsEs300(const EsStage& vertex, const EsStage& fragment);
