#pragma once

#include "DemoContract.h"

#include <string>

namespace testsupport {

// The demo's messages, as they appear on standard output.
inline const std::string windowFailed = std::string(demo::windowFailedMessage) + "\n";
inline const std::string loaderFailed = std::string(demo::loaderFailedMessage) + "\n";
inline const std::string readFailed = std::string(demo::readFailedMessage) + "\n";
inline const std::string compileFailed = demo::compileFailedMessage;
inline const std::string linkFailed = std::string(demo::linkFailedMessage) + "\n";

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
