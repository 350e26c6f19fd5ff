#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A property that must hold for every input. A failed one aborts, which
// libFuzzer reports as a crash and saves the input for.
#define PROPERTY(condition)                                                                        \
    ((condition) ? void() : fuzzing::propertyFailed(#condition, __FILE__, __LINE__))

namespace fuzzing {

[[noreturn]] inline void propertyFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, condition);
    std::abort();
}

inline std::string text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// The input's NUL-separated fields: "a\0b" is {"a", "b"}, "" is {""}.
inline std::vector<std::string> fields(const std::string& input) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        std::size_t end = input.find('\0', start);
        parts.push_back(input.substr(start, end - start));
        if (end == std::string::npos) {
            return parts;
        }
        start = end + 1;
    }
}

inline bool startsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

inline bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

} // namespace fuzzing
