#include "LogMapper.h"

#include <cctype>
#include <sstream>

namespace {

// A cursor over one line of a log, for the drivers' fixed forms. Read by
// hand rather than with std::regex, whose matcher recurses once per
// character and overflows the stack on a line of some ten thousand.
class Cursor {
  public:
    explicit Cursor(const std::string& line) : line_(line) {}

    void skipBlanks() {
        while (at_ < line_.size() &&
               std::string(" \t\r\v\f").find(line_[at_]) != std::string::npos) {
            ++at_;
        }
    }

    // Digits, into `digits` where given.
    bool number(std::string* digits = nullptr) {
        const size_t start = at_;
        while (at_ < line_.size() && std::isdigit(static_cast<unsigned char>(line_[at_]))) {
            ++at_;
        }
        if (digits != nullptr) {
            *digits = line_.substr(start, at_ - start);
        }
        return at_ > start;
    }

    bool literal(const std::string& text) {
        if (line_.compare(at_, text.size(), text) != 0) {
            return false;
        }
        at_ += text.size();
        return true;
    }

    // The message after the place, from its first non-blank.
    std::string rest() {
        skipBlanks();
        return line_.substr(at_);
    }

  private:
    const std::string& line_;
    size_t at_ = 0;
};

std::string mapLine(const std::string& fileName, const std::string& line) {
    std::string row, column;
    // The leading number is the source string, always 0 here: each stage is
    // built from one string.
    Cursor mesa(line); // 0:8(2): error: ...
    mesa.skipBlanks();
    if (mesa.number() && mesa.literal(":") && mesa.number(&row) && mesa.literal("(") &&
        mesa.number(&column) && mesa.literal("):")) {
        return fileName + ":" + row + ":" + column + ": " + mesa.rest();
    }
    Cursor nvidia(line); // 0(8) : error C0000: ...
    nvidia.skipBlanks();
    if (nvidia.number() && nvidia.literal("(") && nvidia.number(&row) && nvidia.literal(")")) {
        nvidia.skipBlanks();
        if (nvidia.literal(":")) {
            return fileName + ":" + row + ": " + nvidia.rest();
        }
    }
    for (const char* severity : {"error", "warning"}) {
        Cursor windows(line); // ERROR: 0:8: ...
        windows.skipBlanks();
        std::string word = severity;
        for (char& c : word) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (windows.literal(word + ":")) {
            windows.skipBlanks();
            if (windows.number() && windows.literal(":") && windows.number(&row) &&
                windows.literal(":")) {
                return fileName + ":" + row + ": " + severity + ": " + windows.rest();
            }
        }
    }
    return fileName + ": " + line;
}

} // namespace

std::vector<std::string> mapDriverLog(const std::string& fileName, const std::string& log) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line)) {
        // Drivers end lines with "\r\n" on Windows, and some pad the log
        // with NULs.
        while (!line.empty() && (line.back() == '\r' || line.back() == '\0' || line.back() == ' ' ||
                                 line.back() == '\t')) {
            line.pop_back();
        }
        if (line.find_first_not_of(" \t") == std::string::npos) {
            continue;
        }
        lines.push_back(mapLine(fileName, line));
    }
    return lines;
}
