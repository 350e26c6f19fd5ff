#include "VersionDirective.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The directive whose "version" starts at `name`, its '#' at `hash`.
VersionDirective readDirective(const std::string& s, size_t hash, size_t name) {
    size_t end = name + 7;
    while (end < s.size() && s[end] != '\n' && s.compare(end, 2, "//") != 0 &&
           s.compare(end, 2, "/*") != 0) {
        ++end;
    }
    while (end > name && isBlank(s[end - 1])) {
        --end;
    }
    VersionDirective directive;
    directive.begin = hash;
    directive.end = end;
    directive.line = 1 + static_cast<int>(std::count(s.begin(), s.begin() + hash, '\n'));
    std::istringstream words(s.substr(name + 7, end - name - 7));
    std::string number;
    if (words >> number && !number.empty() &&
        std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
        number.size() <= 4) {
        directive.number = std::stoi(number);
        words >> directive.profile;
    }
    return directive;
}

} // namespace

std::optional<VersionDirective> findVersionDirective(const std::string& s) {
    bool lineStart = true; // nothing but blanks and comments so far on this line
    for (size_t i = 0; i < s.size();) {
        if (s.compare(i, 2, "//") == 0) {
            i = std::min(s.find('\n', i), s.size());
        } else if (s.compare(i, 2, "/*") == 0) {
            const size_t close = s.find("*/", i + 2);
            i = close == std::string::npos ? s.size() : close + 2;
        } else if (s[i] == '\n') {
            lineStart = true;
            ++i;
        } else if (isBlank(s[i])) {
            ++i;
        } else if (s[i] == '#' && lineStart) {
            const size_t name = s.find_first_not_of(" \t", i + 1);
            if (name != std::string::npos && s.compare(name, 7, "version") == 0 &&
                (name + 7 == s.size() || !isIdentifierChar(s[name + 7]))) {
                return readDirective(s, i, name);
            }
            lineStart = false;
            ++i;
        } else {
            lineStart = false;
            ++i;
        }
    }
    return std::nullopt;
}
