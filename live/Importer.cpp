#include "Importer.h"

#include "SampleVertex.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

namespace {

// The online sites' inputs that a piece has no counterpart for.
const std::set<std::string> unmapped = {
    "iChannel0",    "iChannel1", "iChannel2", "iChannel3",   "iChannelResolution",
    "iChannelTime", "iMouse",    "iDate",     "iSampleRate", "iTimeDelta",
    "iFrameRate",   "iKeyboard", "mainSound", "mainVR",      "mainCubemap",
};

// The identifiers of `source`, in order of first use, with comments left out
// so that a note mentioning iMouse does not count as using it.
std::vector<std::string> identifiers(const std::string& source) {
    std::vector<std::string> found;
    std::set<std::string> seen;
    for (size_t i = 0; i < source.size();) {
        if (source.compare(i, 2, "//") == 0) {
            i = source.find('\n', i);
            i = i == std::string::npos ? source.size() : i;
        } else if (source.compare(i, 2, "/*") == 0) {
            size_t end = source.find("*/", i + 2);
            i = end == std::string::npos ? source.size() : end + 2;
        } else if (std::isalpha(static_cast<unsigned char>(source[i])) || source[i] == '_') {
            size_t end = i;
            while (end < source.size() &&
                   (std::isalnum(static_cast<unsigned char>(source[end])) || source[end] == '_')) {
                ++end;
            }
            std::string word = source.substr(i, end - i);
            if (seen.insert(word).second) {
                found.push_back(word);
            }
            i = end;
        } else {
            ++i;
        }
    }
    return found;
}

// A directive line, not a mention in a comment: "#", maybe blanks, "version".
bool hasVersionLine(const std::string& source) {
    std::istringstream lines(source);
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
#define iTime timeValue
#define iResolution vec3(windowSize, 1.0)
#define iFrame int(timeValue * 60.0)

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

bool readFile(const std::string& path, std::string& text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream buffer;
    buffer << file.rdbuf();
    text = buffer.str();
    return !file.bad();
}

// Written beside the target and renamed into place, so that a running
// vellomirke-live never builds half a file.
bool writeFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".import-tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

Conversion convertMainImage(const std::string& source, const std::string& sourceName) {
    Conversion result;
    std::vector<std::string> words = identifiers(source);
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
    if (hasVersionLine(source)) {
        result.refused.push_back("it already has a #version line");
    }
    std::string names;
    for (const std::string& word : words) {
        if (unmapped.count(word) != 0) {
            names += (names.empty() ? "" : ", ") + word;
        }
    }
    if (!names.empty()) {
        result.refused.push_back("it uses " + names +
                                 ", which a piece has no counterpart for (only iTime, "
                                 "iResolution and iFrame have one)");
    }
    if (result.refused.empty()) {
        std::string body = source;
        if (!body.empty() && body.back() != '\n') {
            body += '\n';
        }
        result.fragment = withName(header, sourceName) + body + footer;
    }
    return result;
}

int importShader(const std::string& sourcePath, const std::string& dir, bool force) {
    std::string source;
    if (!readFile(sourcePath, source)) {
        std::cerr << "vellomirke-live: cannot read " << sourcePath << ": " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    std::string name = std::filesystem::path(sourcePath).filename().string();
    Conversion conversion = convertMainImage(source, name);
    if (!conversion.refused.empty()) {
        std::cerr << "vellomirke-live: not imported: " << sourcePath << ":\n";
        for (const std::string& reason : conversion.refused) {
            std::cerr << "  " << reason << "\n";
        }
        return 1;
    }
    const std::string fragmentPath = dir + "/fragment.glsl";
    const std::string vertexPath = dir + "/vertex.glsl";
    std::error_code error;
    if (!force && std::filesystem::exists(fragmentPath, error)) {
        std::cerr << "vellomirke-live: " << fragmentPath << " exists; --force replaces it\n";
        return 1;
    }
    if (!writeFile(fragmentPath, conversion.fragment)) {
        std::cerr << "vellomirke-live: cannot write " << fragmentPath << ": "
                  << std::strerror(errno) << "\n";
        return 1;
    }
    if (!std::filesystem::exists(vertexPath, error) && !writeFile(vertexPath, sampleVertex)) {
        std::cerr << "vellomirke-live: cannot write " << vertexPath << ": " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    std::cerr << "vellomirke-live: wrote " << fragmentPath << "\n";
    return 0;
}
