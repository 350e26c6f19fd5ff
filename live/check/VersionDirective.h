#pragma once

#include <cstddef>
#include <optional>
#include <string>

// A stage's "#version N [profile]" directive, read from its text as the
// preprocessor reads it: comments count as blanks, and a '#' opens a
// directive only as the first thing on its line.
struct VersionDirective {
    size_t begin = 0;    // its '#'
    size_t end = 0;      // just past its last token, before a comment or the line's end
    int line = 0;        // 1-based
    int number = 0;      // 330; 0 where the directive names no number
    std::string profile; // "core", "compatibility", "es" or "" where none is named

    // GLSL ES: "es", or version 100, which has no profile word.
    bool es() const { return profile == "es" || number == 100; }
};

// The first #version directive of `source`, or nothing where it has none.
std::optional<VersionDirective> findVersionDirective(const std::string& source);
