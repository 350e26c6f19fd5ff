#include "DeclarationLine.h"

#include <cctype>

namespace {

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

} // namespace

int declarationLine(const std::string& source, const std::string& name) {
    int line = 1;
    int depth = 0;         // braces and parentheses: bodies, members, parameters
    bool lineStart = true; // nothing but blanks so far on this line
    const size_t size = source.size();
    for (size_t i = 0; i < size;) {
        const char c = source[i];
        if (c == '\n') {
            ++line;
            lineStart = true;
            ++i;
        } else if (source.compare(i, 2, "//") == 0) {
            while (i < size && source[i] != '\n') {
                ++i;
            }
        } else if (source.compare(i, 2, "/*") == 0) {
            for (i += 2; i < size && source.compare(i, 2, "*/") != 0; ++i) {
                line += source[i] == '\n';
            }
            i += 2;
        } else if (c == '#' && lineStart) {
            // A directive runs to the end of its line, or further after a '\'.
            for (; i < size && source[i] != '\n'; ++i) {
                if (source[i] == '\\' && i + 1 < size && source[i + 1] == '\n') {
                    ++line;
                    ++i;
                }
            }
        } else if (isIdentifierChar(c)) {
            const size_t start = i;
            while (i < size && isIdentifierChar(source[i])) {
                ++i;
            }
            if (depth == 0 && source.compare(start, i - start, name) == 0 &&
                i - start == name.size()) {
                return line;
            }
            lineStart = false;
        } else {
            depth += c == '{' || c == '(';
            depth -= (c == '}' || c == ')') && depth > 0;
            lineStart = lineStart && std::isspace(static_cast<unsigned char>(c));
            ++i;
        }
    }
    return 0;
}
