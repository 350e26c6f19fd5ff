#include "TraceDump.h"

#include <sstream>
#include <stdexcept>

namespace conformance {

namespace {

// Index of the ')' that closes the '(' at `open`, skipping over quoted
// strings and nested brackets; npos if the line ends first.
size_t closingParenthesis(const std::string& line, size_t open) {
    int depth = 0;
    bool quoted = false;
    for (size_t i = open; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(' || c == '{' || c == '[') {
            ++depth;
        } else if (c == ')' || c == '}' || c == ']') {
            if (--depth == 0) {
                return i;
            }
        }
    }
    return std::string::npos;
}

// "a = 1, b = {2, 3}, c = \"x, y\"" -> the three "name = value" pieces.
std::vector<std::string> splitTopLevel(const std::string& list) {
    std::vector<std::string> pieces;
    int depth = 0;
    bool quoted = false;
    std::string current;
    for (size_t i = 0; i < list.size(); ++i) {
        char c = list[i];
        if (quoted) {
            current += c;
            if (c == '\\' && i + 1 < list.size()) {
                current += list[++i];
            } else if (c == '"') {
                quoted = false;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
        } else if (c == '(' || c == '{' || c == '[') {
            ++depth;
        } else if (c == ')' || c == '}' || c == ']') {
            --depth;
        } else if (c == ',' && depth == 0) {
            pieces.push_back(current);
            current.clear();
            if (i + 1 < list.size() && list[i + 1] == ' ') {
                ++i;
            }
            continue;
        }
        current += c;
    }
    if (!current.empty()) {
        pieces.push_back(current);
    }
    return pieces;
}

TraceCall parseLine(const std::string& line) {
    TraceCall call;
    size_t space = line.find(' ');
    size_t open = line.find('(', space);
    if (space == std::string::npos || open == std::string::npos) {
        throw std::runtime_error("not a call: " + line);
    }
    call.number = std::stol(line.substr(0, space));
    call.name = line.substr(space + 1, open - space - 1);
    size_t close = closingParenthesis(line, open);
    if (close == std::string::npos) {
        throw std::runtime_error("unbalanced call: " + line);
    }
    for (const std::string& piece : splitTopLevel(line.substr(open + 1, close - open - 1))) {
        size_t equals = piece.find(" = ");
        if (equals == std::string::npos) {
            throw std::runtime_error("argument without a name in: " + line);
        }
        call.args.emplace_back(piece.substr(0, equals), piece.substr(equals + 3));
    }
    std::string rest = line.substr(close + 1);
    const std::string fakeMark = " // fake";
    if (rest.size() >= fakeMark.size() &&
        rest.compare(rest.size() - fakeMark.size(), fakeMark.size(), fakeMark) == 0) {
        call.fake = true;
        rest.erase(rest.size() - fakeMark.size());
    }
    if (rest.rfind(" = ", 0) == 0) {
        call.result = rest.substr(3);
    }
    return call;
}

} // namespace

const std::string& TraceCall::arg(const std::string& wanted) const {
    for (const auto& [argName, value] : args) {
        if (argName == wanted) {
            return value;
        }
    }
    throw std::out_of_range(name + " has no argument " + wanted);
}

std::string TraceCall::pointee(const std::string& wanted) const {
    const std::string& value = arg(wanted);
    if (value.empty() || value[0] != '&') {
        throw std::runtime_error(name + "'s " + wanted + " is not an output: " + value);
    }
    return value.substr(1);
}

std::string TraceCall::text() const {
    std::ostringstream out;
    out << number << ' ' << name << '(';
    for (size_t i = 0; i < args.size(); ++i) {
        out << (i ? ", " : "") << args[i].first << " = " << args[i].second;
    }
    out << ')';
    if (!result.empty()) {
        out << " = " << result;
    }
    return out.str();
}

std::vector<TraceCall> parseTraceDump(const std::string& dump) {
    std::vector<TraceCall> calls;
    std::istringstream lines(dump);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind("//", 0) == 0) {
            continue;
        }
        calls.push_back(parseLine(line));
    }
    return calls;
}

std::string unquote(const std::string& value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        throw std::runtime_error("not a string: " + value);
    }
    std::string text;
    for (size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && i + 2 < value.size()) {
            char escaped = value[++i];
            text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped == 'r' ? '\r' : escaped;
        } else {
            text += value[i];
        }
    }
    return text;
}

} // namespace conformance
