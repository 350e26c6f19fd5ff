#include "Finding.h"

#include <algorithm>
#include <cctype>
#include <sstream>

std::string Finding::located() const {
    static const char* const words[] = {"ok", "not checked", "warning", "error"};
    std::string out = file;
    if (line > 0) {
        out += ":" + std::to_string(line);
    }
    return out + ": " + words[static_cast<int>(level)] + ": " + text;
}

int countAt(const Findings& findings, Finding::Level level) {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [&](const Finding& f) { return f.level == level; }));
}

namespace {

// A line number at the start of `text`, as glslang writes one: at most nine
// digits, so that it always fits.
bool takeNumber(std::string& text, int& value) {
    size_t digits = 0;
    while (digits < text.size() && digits < 9 &&
           std::isdigit(static_cast<unsigned char>(text[digits]))) {
        ++digits;
    }
    if (digits == 0) {
        return false;
    }
    value = std::stoi(text.substr(0, digits));
    text.erase(0, digits);
    return true;
}

bool takePrefix(std::string& text, const std::string& prefix) {
    if (text.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    text.erase(0, prefix.size());
    return true;
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

Findings readGlslangLog(const std::string& log, const std::string& fileName,
                        const std::function<int(int)>& authorLine) {
    Findings findings;
    bool continues = false; // the last message may take the lines that follow it
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        Finding finding;
        finding.file = fileName;
        std::string text = line;
        if (takePrefix(text, "ERROR: ")) {
            finding.level = Finding::Level::Error;
        } else if (takePrefix(text, "WARNING: ")) {
            finding.level = Finding::Level::Warning;
        } else {
            // A linker's details ("    timeValue: ... versus ..."), or a note.
            if (continues && !trimmed(text).empty()) {
                findings.back().text += " " + trimmed(text);
            }
            continue;
        }
        text = trimmed(text);
        continues = false;
        if (text.find("compilation errors.") != std::string::npos ||
            text.find("compilation terminated") != std::string::npos) {
            continue;
        }
        std::string rest = text;
        int source = 0, row = 0;
        if (takeNumber(rest, source) && takePrefix(rest, ":") && takeNumber(rest, row) &&
            takePrefix(rest, ":")) {
            finding.line = authorLine(row);
            text = trimmed(rest);
        } else if (takePrefix(rest = text, "Linking ") && rest.find(": ") != std::string::npos) {
            // "Linking fragment stage: ...", "Linking vertex and fragment
            // stages: ...": one stage's file, or the pair's.
            const std::string stages = rest.substr(0, rest.find(": "));
            if (stages == "vertex stage") {
                finding.file = "vertex.glsl";
            } else if (stages == "fragment stage") {
                finding.file = "fragment.glsl";
            }
            text = rest.substr(stages.size() + 2);
            continues = true;
        }
        finding.text = text;
        findings.push_back(finding);
    }
    return findings;
}
