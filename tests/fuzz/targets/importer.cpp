// The importer on any text an online shader site might hand over: it either
// refuses, naming why, or writes a fragment.glsl that keeps to the demo's
// contract as the GL compiler reads it: its one #version line first, the
// demo's two uniforms declared once, and the shader's text and the main()
// that calls it all in code, not swallowed by a comment or cut off by a NUL.
//
// Input: the source file's name, a NUL, then its text; without a NUL, the
// whole input is the text.
#include "Importer.h"
#include "Property.h"

#include <cctype>

using namespace fuzzing;

namespace {

// The text with its comments made blanks, as the GLSL preprocessor reads it:
// newlines stay, so that lines keep their numbers and directives their lines.
std::string withoutComments(const std::string& source) {
    std::string code;
    for (std::size_t i = 0; i < source.size();) {
        if (source.compare(i, 2, "//") == 0) {
            while (i < source.size() && source[i] != '\n') {
                ++i;
            }
            code += ' ';
        } else if (source.compare(i, 2, "/*") == 0) {
            std::size_t end = source.find("*/", i + 2);
            end = end == std::string::npos ? source.size() : end + 2;
            for (std::size_t j = i; j < end; ++j) {
                code += source[j] == '\n' ? '\n' : ' ';
            }
            i = end;
        } else {
            code += source[i++];
        }
    }
    return code;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        result.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

bool identifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The directive a line holds ("version" for "  #  version 330"), or "" when
// it is no directive.
std::string directive(const std::string& line) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') {
        return "";
    }
    at = line.find_first_not_of(" \t", at + 1);
    std::size_t end = at;
    while (end < line.size() && identifierChar(line[end])) {
        ++end;
    }
    return at == std::string::npos ? "#" : "#" + line.substr(at, end - at);
}

// How often `word` stands as an identifier in the code, outside directives
// unless `inDirectives`.
int codeUses(const std::vector<std::string>& codeLines, const std::string& word,
             bool inDirectives = false) {
    int count = 0;
    for (const std::string& line : codeLines) {
        if (!inDirectives && !directive(line).empty()) {
            continue;
        }
        for (std::size_t at = line.find(word); at != std::string::npos;
             at = line.find(word, at + 1)) {
            bool before = at > 0 && identifierChar(line[at - 1]);
            bool after = at + word.size() < line.size() && identifierChar(line[at + word.size()]);
            count += !before && !after;
        }
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = text(data, size);
    const std::size_t nul = input.find('\0');
    const std::string name = nul == std::string::npos ? "shader.glsl" : input.substr(0, nul);
    const std::string source = nul == std::string::npos ? input : input.substr(nul + 1);

    const Conversion conversion = convertMainImage(source, name);
    if (!conversion.refused.empty()) {
        PROPERTY(conversion.fragment.empty());
        for (const std::string& reason : conversion.refused) {
            PROPERTY(!reason.empty());
        }
        return 0;
    }
    const std::string& fragment = conversion.fragment;
    PROPERTY(startsWith(fragment, "#version 330 core\n"));
    // The shader's own text is kept as written.
    PROPERTY(fragment.find(source) != std::string::npos);

    // What the GL compiler gets: the demo hands it the text up to a NUL.
    const std::string compiled = fragment.substr(0, fragment.find('\0'));
    const std::vector<std::string> code = lines(withoutComments(compiled));
    int versions = 0;
    for (const std::string& line : code) {
        versions += directive(line) == "#version";
    }
    PROPERTY(versions == 1);
    PROPERTY(codeUses(code, "timeValue") == 1);
    PROPERTY(codeUses(code, "windowSize") == 1);
    // main() is defined once and calls the shader's mainImage, which may
    // come from a macro of the shader's own.
    PROPERTY(codeUses(code, "main") == 1);
    PROPERTY(codeUses(code, "mainImage", true) >= 2);
    return 0;
}
