#include "Importer.h"

#include "DemoContract.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <set>
#include <sstream>

namespace {

// The online sites' inputs that a piece has no counterpart for: the
// textures with their times and sizes, the mouse, the date, the keyboard,
// and the entry points for sound and cube maps, which need their own passes.
const std::set<std::string> unmapped = {
    "iChannel0", "iChannel1", "iChannel2", "iChannel3", "iChannelResolution", "iChannelTime",
    "iMouse",    "iDate",     "iKeyboard", "mainSound", "mainCubemap",
};

// The names that the import's own lines declare: a shader with its own
// timeValue (a variable, a function) would clash with the demo's uniform.
const char* const declaredByImport[] = {demo::timeUniform, demo::sizeUniform, "pieceColor"};

// The text as the GLSL preprocessor reads it: each comment a blank, its
// newlines kept so that directives stay on their own lines. A note that
// mentions iMouse does not count as using it, nor a "#/**/version" as
// anything but a #version line.
struct Code {
    std::string text;
    bool openComment = false; // a /* comment runs to the end of the source
};

Code withoutComments(const std::string& source) {
    Code code;
    for (size_t i = 0; i < source.size();) {
        if (source.compare(i, 2, "//") == 0) {
            i = std::min(source.find('\n', i), source.size());
            code.text += ' ';
        } else if (source.compare(i, 2, "/*") == 0) {
            size_t end = source.find("*/", i + 2);
            code.openComment = end == std::string::npos;
            end = code.openComment ? source.size() : end + 2;
            code.text += ' ';
            code.text.append(std::count(source.begin() + i, source.begin() + end, '\n'), '\n');
            i = end;
        } else {
            code.text += source[i++];
        }
    }
    return code;
}

// The identifiers of `code`, in order of first use.
std::vector<std::string> identifiers(const std::string& code) {
    std::vector<std::string> found;
    std::set<std::string> seen;
    for (size_t i = 0; i < code.size();) {
        if (std::isalnum(static_cast<unsigned char>(code[i])) || code[i] == '_') {
            size_t end = i;
            while (end < code.size() &&
                   (std::isalnum(static_cast<unsigned char>(code[end])) || code[end] == '_')) {
                ++end;
            }
            // A run that starts with a digit is a number ("1e5", "0x1Fu",
            // "2mainImage"), no identifier.
            std::string word = code.substr(i, end - i);
            if (!std::isdigit(static_cast<unsigned char>(word[0])) && seen.insert(word).second) {
                found.push_back(word);
            }
            i = end;
        } else {
            ++i;
        }
    }
    return found;
}

// A directive line of `code`: "#", maybe blanks, "version".
bool hasVersionLine(const std::string& code) {
    std::istringstream lines(code);
    std::string line;
    while (std::getline(lines, line)) {
        size_t at = line.find_first_not_of(" \t");
        if (at != std::string::npos && line[at] == '#') {
            at = line.find_first_not_of(" \t", at + 1);
            if (at != std::string::npos && line.compare(at, 7, "version") == 0) {
                return true;
            }
        }
    }
    return false;
}

const char* header = R"(#version 330 core
// Imported by vellomirke-live from %s.
// The online shader sites' inputs, from what the demo gives every piece:
uniform float timeValue;
uniform vec2 windowSize;
// the piece's time in seconds
#define iTime timeValue
// the same, by its name before 2017
#define iGlobalTime timeValue
// the picture's size in pixels, 1920x1080 (the third is the pixels' shape)
#define iResolution vec3(windowSize, 1.0)
// the frame's number, at the 60 frames a second that the demo draws
#define iFrame int(timeValue * 60.0)
// the time from one frame to the next, and the frames a second, at that rate
#define iTimeDelta (1.0 / 60.0)
#define iFrameRate 60.0
// the rate that the demo plays its music at
#define iSampleRate 48000.0

out vec4 pieceColor;

// ---- the imported shader ----
)";

const char* footer = R"(
// ---- end of the imported shader ----

void main() {
    vec4 color = vec4(0.0, 0.0, 0.0, 1.0);
    mainImage(color, gl_FragCoord.xy);
    // The sites show every pixel opaque, whatever alpha the shader wrote.
    pieceColor = vec4(color.rgb, 1.0);
}
)";

// The file's name goes into a comment line; nothing in it may end the line.
std::string withName(const char* text, std::string name) {
    for (char& c : name) {
        c = std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    }
    std::string out = text;
    out.replace(out.find("%s"), 2, name);
    return out;
}

} // namespace

Conversion convertMainImage(const std::string& source, const std::string& sourceName) {
    Conversion result;
    const Code code = withoutComments(source);
    const std::vector<std::string> words = identifiers(code.text);
    auto uses = [&](const std::string& word) {
        for (const std::string& w : words) {
            if (w == word) {
                return true;
            }
        }
        return false;
    };
    if (!uses("mainImage")) {
        result.refused.push_back("it has no mainImage function");
    }
    if (uses("main")) {
        result.refused.push_back("it already has a main function");
    }
    // The GL reads a shader's text up to its first NUL: the rest, main()
    // included, would be lost.
    if (source.find('\0') != std::string::npos) {
        result.refused.push_back("it holds a NUL byte, where the GL would stop reading it");
    }
    // It would swallow the main() that follows it.
    if (code.openComment) {
        result.refused.push_back("it has a /* comment that never ends");
    }
    if (hasVersionLine(code.text)) {
        result.refused.push_back("it already has a #version line");
    }
    std::string names;
    for (const std::string& word : words) {
        if (unmapped.count(word) != 0) {
            names += (names.empty() ? "" : ", ") + word;
        }
    }
    std::string clashes;
    for (const char* name : declaredByImport) {
        if (uses(name)) {
            clashes += (clashes.empty() ? "" : ", ") + std::string(name);
        }
    }
    if (!clashes.empty()) {
        result.refused.push_back("it has its own " + clashes +
                                 ", which the imported piece declares for the demo's inputs");
    }
    if (!names.empty()) {
        result.refused.push_back(
            "it uses " + names +
            ", which a piece has no counterpart for (iTime, iGlobalTime, iResolution, iFrame, "
            "iTimeDelta, iFrameRate and iSampleRate have one)");
    }
    if (result.refused.empty()) {
        std::string body = source;
        if (!body.empty() && body.back() != '\n') {
            body += '\n';
        }
        const std::string head = withName(header, sourceName);
        result.headerLines = static_cast<int>(std::count(head.begin(), head.end(), '\n'));
        result.fragment = head + body + footer;
    }
    return result;
}

int Conversion::sourceLine(int fragmentLine, int sourceLines) const {
    const int line = fragmentLine - headerLines;
    return line >= 1 && line <= sourceLines ? line : 0;
}
