// The driver-log mapper on any text a driver might print: every line that is
// not blank comes out once, in order, named after the file, and keeps its
// message; no text is made up.
#include "LogMapper.h"
#include "Property.h"

#include <cctype>

using namespace fuzzing;

namespace {

const std::string fileName = "fragment.glsl";

// Blank to the mapper: nothing but spaces, tabs, CRs and NULs.
bool blank(const std::string& line) {
    return line.find_first_not_of(std::string(" \t\r\0", 4)) == std::string::npos;
}

std::string trimmed(std::string line) {
    while (!line.empty() && std::string(" \t\r\0", 4).find(line.back()) != std::string::npos) {
        line.pop_back();
    }
    return line;
}

// After "FILE:", a mapped line is "LINE: MESSAGE" or "LINE:COLUMN: MESSAGE",
// whose numbers and message are taken from the driver's line; anything else
// is " " and the driver's line.
bool keepsTheDriversText(const std::string& rest, const std::string& line) {
    if (rest == " " + line) {
        return true;
    }
    std::size_t at = 0;
    std::vector<std::string> numbers;
    while (at < rest.size() && std::isdigit(static_cast<unsigned char>(rest[at]))) {
        std::size_t end = rest.find_first_not_of("0123456789", at);
        if (end == std::string::npos || rest[end] != ':') {
            return false;
        }
        numbers.push_back(rest.substr(at, end - at));
        at = end + 1;
    }
    if (numbers.empty() || numbers.size() > 2 || rest.compare(at, 1, " ") != 0) {
        return false;
    }
    for (const std::string& n : numbers) {
        if (line.find(n) == std::string::npos) {
            return false;
        }
    }
    std::string message = rest.substr(at + 1);
    // The Windows drivers' "ERROR:" and "WARNING:" come out in lower case.
    for (const char* severity : {"error: ", "warning: "}) {
        if (startsWith(message, severity) &&
            endsWith(line, message.substr(std::string(severity).size()))) {
            return true;
        }
    }
    return endsWith(line, message);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string log = text(data, size);
    const std::vector<std::string> mapped = mapDriverLog(fileName, log);

    std::vector<std::string> kept;
    std::size_t start = 0;
    while (start <= log.size()) {
        std::size_t end = log.find('\n', start);
        end = end == std::string::npos ? log.size() : end;
        std::string line = log.substr(start, end - start);
        if (!blank(line)) {
            kept.push_back(trimmed(line));
        }
        start = end + 1;
    }
    PROPERTY(mapped.size() == kept.size());
    for (std::size_t i = 0; i < mapped.size(); ++i) {
        PROPERTY(startsWith(mapped[i], fileName + ":"));
        PROPERTY(mapped[i].find('\n') == std::string::npos);
        PROPERTY(keepsTheDriversText(mapped[i].substr(fileName.size() + 1), kept[i]));
    }
    return 0;
}
