#pragma once

#include <string>

namespace testsupport {

// The shader builder's messages, as they appear on standard output.
inline const std::string readFailed = "ERROR SHADER reading a file failed\n";
inline const std::string compileFailed = "ERROR SHADER filed to compile shader of type ";
inline const std::string linkFailed = "ERROR SHADER program linking failed\n";

// How often `needle` stands in `text`, counting non-overlapping places.
inline int occurrences(const std::string& text, const std::string& needle) {
    int n = 0;
    for (size_t at = text.find(needle); at != std::string::npos;
         at = text.find(needle, at + needle.size())) {
        ++n;
    }
    return n;
}

} // namespace testsupport
