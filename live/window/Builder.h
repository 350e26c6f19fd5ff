#pragma once

#include "Program.h"

#include <string>
#include <vector>

// What one build gives: a program when everything compiled and linked, the
// problems found, and where the driver built it, what the strict check
// warns of; one line each, ready for standard error.
struct BuildResult {
    Program program;
    std::vector<std::string> problems;
    std::vector<std::string> warnings;
};

// Builds `dir`/vertex.glsl and `dir`/fragment.glsl. A file that cannot be read
// is named; a stage's driver messages are named after its file; a stage that
// failed leaves out the link and its (then only repeated) messages. A build
// that the driver refuses is reported as the driver sees it, and nothing
// more: those are the errors to mend first. One that it takes is checked
// again as stricter drivers would build it (StrictCheck.h).
BuildResult buildPiece(const std::string& dir);
