#include "LogMapper.h"

#include <regex>
#include <sstream>

namespace {

// Each driver's form, with the line, the column where there is one, and the
// rest of the message as groups. The leading number is the source string,
// always 0 here: each stage is built from one string.
const std::regex mesaForm(R"(^\s*\d+:(\d+)\((\d+)\):\s*(.*)$)");
const std::regex nvidiaForm(R"(^\s*\d+\((\d+)\)\s*:\s*(.*)$)");
const std::regex windowsForm(R"(^\s*(ERROR|WARNING):\s*\d+:(\d+):\s*(.*)$)");

std::string lowerCase(std::string word) {
    for (char& c : word) {
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    return word;
}

std::string mapLine(const std::string& fileName, const std::string& line) {
    std::smatch m;
    if (std::regex_match(line, m, mesaForm)) {
        return fileName + ":" + m[1].str() + ":" + m[2].str() + ": " + m[3].str();
    }
    if (std::regex_match(line, m, nvidiaForm)) {
        return fileName + ":" + m[1].str() + ": " + m[2].str();
    }
    if (std::regex_match(line, m, windowsForm)) {
        return fileName + ":" + m[2].str() + ": " + lowerCase(m[1].str()) + ": " + m[3].str();
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
