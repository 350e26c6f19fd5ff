#include "WebExport.h"

#include "DemoContract.h"
#include "EsTranslation.h"
#include "FolderName.h"
#include "GlslCheck.h"
#include "PageStage.h"
#include "PlayerPage.h"
#include "TextFile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

namespace {

std::string base64(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t left = bytes.size() - i;
        unsigned long group = static_cast<unsigned char>(bytes[i]) << 16;
        if (left > 1) {
            group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        }
        if (left > 2) {
            group |= static_cast<unsigned char>(bytes[i + 2]);
        }
        out += digits[(group >> 18) & 63];
        out += digits[(group >> 12) & 63];
        out += left > 1 ? digits[(group >> 6) & 63] : '=';
        out += left > 2 ? digits[group & 63] : '=';
    }
    return out;
}

// A JavaScript string literal of UTF-8 `text` that is safe inside a
// <script> element: no "</script>" or "<!--" can form in it.
std::string scriptString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '<':
            out += "\\u003c";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string htmlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string stageObject(const char* fileName, const EsStage& stage) {
    return std::string("{file: ") + scriptString(fileName) + ", text: " + scriptString(stage.text) +
           ", versionLine: " + std::to_string(stage.versionLine) +
           ", addedLines: " + std::to_string(stage.addedLines) + "}";
}

template <typename T, size_t n> std::string arrayOf(const T (&values)[n]) {
    std::ostringstream out;
    out << '[';
    for (size_t i = 0; i < n; ++i) {
        out << (i ? ", " : "") << values[i];
    }
    out << ']';
    return out.str();
}

// The template with each "{{NAME}}" replaced by its value, in one pass, so
// that no value is searched for tokens in turn.
std::string filled(const std::string& page, const std::map<std::string, std::string>& values) {
    std::string out;
    size_t at = 0;
    for (size_t open = page.find("{{"); open != std::string::npos; open = page.find("{{", at)) {
        const size_t close = page.find("}}", open + 2);
        if (close == std::string::npos) {
            break;
        }
        const auto value = values.find(page.substr(open + 2, close - open - 2));
        out.append(page, at, open - at);
        if (value == values.end()) {
            out.append("{{");
            at = open + 2;
        } else {
            out += value->second;
            at = close + 2;
        }
    }
    return out.append(page, at, std::string::npos);
}

// The stage in `dir/name`, translated, or nothing with the reason printed.
std::optional<EsStage> readStage(const std::string& dir, const std::string& name) {
    std::string failure;
    const std::optional<std::string> source = readTextFile(dir + "/" + name, failure);
    if (!source) {
        std::cerr << name << ": cannot read: " << failure << "\n";
        return std::nullopt;
    }
    Findings refused;
    std::optional<EsStage> stage = pageStage(name, *source, refused);
    for (const Finding& why : refused) {
        std::cerr << why.located() << "\n";
    }
    return stage;
}

} // namespace

std::string webPage(const std::string& title, const EsStage& vertex, const EsStage& fragment,
                    const std::string& mp3) {
    std::ostringstream piece;
    piece << "{\n  width: " << demo::width << ", height: " << demo::height
          << ", length: " << demo::lengthSeconds
          << ",\n  timeUniform: " << scriptString(demo::timeUniform)
          << ", sizeUniform: " << scriptString(demo::sizeUniform)
          << ",\n  positionAttribute: " << demo::positionAttribute
          << ",\n  vertices: " << arrayOf(demo::rectangleVertices)
          << ",\n  indices: " << arrayOf(demo::rectangleIndices)
          << ",\n  vertex: " << stageObject("vertex.glsl", vertex)
          << ",\n  fragment: " << stageObject("fragment.glsl", fragment) << ",\n  music: \""
          << base64(mp3) << "\"\n}";
    return filled(playerTemplate, {{"TITLE", htmlText(title)}, {"PIECE", piece.str()}});
}

int exportWeb(const std::string& dir, const std::string& out, bool force) {
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) {
        std::cerr << "vellomirke-live: " << dir << ": not a folder\n";
        return 1;
    }
    const std::string title = folderName(dir);
    const std::string target = out.empty() ? dir + "/" + title + ".html" : out;
    if (!force && std::filesystem::exists(target, error)) {
        std::cerr << "vellomirke-live: " << target << " exists; --force replaces it\n";
        return 1;
    }
    const std::optional<EsStage> vertex = readStage(dir, "vertex.glsl");
    const std::optional<EsStage> fragment = readStage(dir, "fragment.glsl");
    if (!vertex || !fragment) {
        std::cerr << "vellomirke-live: not exported: the piece cannot be a page as it stands\n";
        return 1;
    }
    const Findings problems = checkAsEs300(*vertex, *fragment);
    if (!problems.empty()) {
        for (const Finding& problem : problems) {
            std::cerr << problem.located() << "\n";
        }
        std::cerr << "vellomirke-live: not exported: a browser would not build the piece "
                     "(GLSL ES 3.00 is stricter than GLSL 3.30)\n";
        return 1;
    }
    // No soundtrack is a silent piece, as in the demo; one that cannot be
    // read is a mistake to name.
    std::string mp3;
    const std::string musicPath = dir + "/audio.mp3";
    if (std::filesystem::exists(musicPath, error)) {
        std::string failure;
        std::optional<std::string> bytes = readTextFile(musicPath, failure);
        if (!bytes) {
            std::cerr << "vellomirke-live: cannot read " << musicPath << ": " << failure << "\n";
            return 1;
        }
        mp3 = std::move(*bytes);
    }
    const auto failure = replaceFile(target, webPage(title, *vertex, *fragment, mp3));
    if (failure) {
        std::cerr << "vellomirke-live: " << failure->describe(target) << "; nothing was written"
                  << (failure->refused() ? " (--out FILE writes the page elsewhere)" : "") << "\n";
        return 1;
    }
    std::cerr << "vellomirke-live: wrote " << target
              << (mp3.empty() ? " (silent: no audio.mp3)" : "") << "\n";
    return 0;
}
