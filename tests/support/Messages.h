#pragma once

#include <string>

namespace testsupport {

// The shader builder's messages, as they appear on standard output.
inline const std::string readFailed = "ERROR SHADER reading a file failed\n";
inline const std::string compileFailed = "ERROR SHADER filed to compile shader of type ";
inline const std::string linkFailed = "ERROR SHADER program linking failed\n";

// The builder reads info logs into a 1024-character buffer: at most 1023 of
// their characters are printed.
inline std::string cutToBuffer(const std::string& log) {
    return log.substr(0, 1023);
}

// What the builder prints for a stage of `kind` ("vertex", "fragment") that
// did not compile: header, the driver's log, blank line.
inline std::string compileReport(const std::string& kind, const std::string& log) {
    return compileFailed + kind + "\n" + cutToBuffer(log) + "\n\n";
}

// What the builder prints for a program that did not link.
inline std::string linkReport(const std::string& log) {
    return linkFailed + cutToBuffer(log) + "\n";
}

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
