#pragma once

#include <optional>
#include <string>

// A stage of a piece (GLSL 3.30 core) as WebGL2 takes it (GLSL ES 3.00): its
// #version directive becomes "#version 300 es" followed by the precision
// statements that ES wants, and nothing else changes. The added lines follow
// the directive on its own line, so that only lines after it move.
struct EsStage {
    std::string text;
    int versionLine = 0; // 1-based line of the directive, the same in both texts
    int addedLines = 0;  // lines after it are this much further down in `text`

    // The author's line for a line of `text`: the added lines count as the
    // directive's.
    int authorLine(int translatedLine) const;
};

// Nothing when the source has no #version directive (the demo could not
// build it either: a core context takes no shader without one).
std::optional<EsStage> translateToEs(const std::string& source);
