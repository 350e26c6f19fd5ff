#pragma once

#include "Program.h"

#include <string>
#include <vector>

// What one build gives: a program when everything compiled and linked, and
// the problems found, one line each, ready for standard error.
struct BuildResult {
    Program program;
    std::vector<std::string> problems;
};

// Builds `dir`/vertex.glsl and `dir`/fragment.glsl. A file that cannot be read
// is named; a stage's driver messages are named after its file; a stage that
// failed leaves out the link and its (then only repeated) messages.
BuildResult buildPiece(const std::string& dir);
