#pragma once

#include "Program.h"

#include <optional>
#include <string>
#include <vector>

// A piece's two texts as the driver read them: up to a NUL byte, if any.
struct PieceTexts {
    std::string vertex;
    std::string fragment;
};

// What one build gives: a program when everything compiled and linked, the
// problems found, one line each, ready for standard error, and the texts
// where the driver built them, for the strict check (StrictCheck.h).
struct BuildResult {
    Program program;
    std::vector<std::string> problems;
    std::optional<PieceTexts> texts;
};

// Builds `dir`/vertex.glsl and `dir`/fragment.glsl. A file that cannot be read
// is named; a stage's driver messages are named after its file; a stage that
// failed leaves out the link and its (then only repeated) messages. A build
// that the driver refuses gets its messages alone, the errors to mend
// first: no strict check.
BuildResult buildPiece(const std::string& dir);
