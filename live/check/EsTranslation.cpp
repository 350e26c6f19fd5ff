#include "EsTranslation.h"

#include <algorithm>
#include <cctype>

namespace {

const char* const esHeader = "#version 300 es\n"
                             "precision highp float;\n"
                             "precision highp int;";
constexpr int esHeaderNewlines = 2;

// Where the #version directive's own text lies in `source`: from its '#' to
// its last token, before any comment or the line's end.
struct Span {
    size_t begin;
    size_t end;
};

// Reads the source as the preprocessor does: comments are blanks, and a '#'
// opens a directive only as the first thing on its line. Returns the span of
// the first directive named "version".
std::optional<Span> versionDirective(const std::string& s) {
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
        } else if (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\v' || s[i] == '\f') {
            ++i;
        } else if (s[i] == '#' && lineStart) {
            size_t name = s.find_first_not_of(" \t", i + 1);
            if (name != std::string::npos && s.compare(name, 7, "version") == 0 &&
                (name + 7 == s.size() ||
                 !(std::isalnum(static_cast<unsigned char>(s[name + 7])) || s[name + 7] == '_'))) {
                size_t end = name + 7;
                while (end < s.size() && s[end] != '\n' && s.compare(end, 2, "//") != 0 &&
                       s.compare(end, 2, "/*") != 0) {
                    ++end;
                }
                while (end > name &&
                       std::string(" \t\r\v\f").find(s[end - 1]) != std::string::npos) {
                    --end;
                }
                return Span{i, end};
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

} // namespace

int EsStage::authorLine(int translatedLine) const {
    if (translatedLine <= versionLine) {
        return translatedLine;
    }
    if (translatedLine <= versionLine + addedLines) {
        return versionLine;
    }
    return translatedLine - addedLines;
}

std::optional<EsStage> translateToEs(const std::string& source) {
    const std::optional<Span> directive = versionDirective(source);
    if (!directive) {
        return std::nullopt;
    }
    EsStage stage;
    stage.versionLine =
        1 + static_cast<int>(std::count(source.begin(), source.begin() + directive->begin, '\n'));
    stage.addedLines = esHeaderNewlines;
    stage.text = source.substr(0, directive->begin) + esHeader + source.substr(directive->end);
    return stage;
}
