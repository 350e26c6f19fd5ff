#include "TraceDump.h"

#include <sstream>
#include <stdexcept>

namespace conformance {

namespace {

const std::string fakeMark = " // fake";

struct ArgumentList {
    std::vector<std::string> pieces; // "name = value" each
    size_t close = 0;                // index of the ')' that ends the list
};

// Splits the list that the '(' at `open` starts at its top-level commas,
// skipping over quoted strings and nested brackets.
ArgumentList splitArguments(const std::string& line, size_t open) {
    ArgumentList list;
    std::string current;
    int depth = 0;
    bool quoted = false;
    for (size_t i = open + 1; i < line.size(); ++i) {
        char c = line[i];
        if (quoted) {
            if (c == '\\' && i + 1 < line.size()) {
                current += c;
                c = line[++i];
            } else {
                quoted = c != '"';
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == '(' || c == '{' || c == '[') {
            ++depth;
        } else if ((c == ')' || c == '}' || c == ']') && --depth < 0) {
            if (!current.empty()) {
                list.pieces.push_back(current);
            }
            list.close = i;
            return list;
        } else if (c == ',' && depth == 0) {
            list.pieces.push_back(current);
            current.clear();
            i += i + 1 < line.size() && line[i + 1] == ' ';
            continue;
        }
        current += c;
    }
    throw std::runtime_error("unbalanced call: " + line);
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
    ArgumentList list = splitArguments(line, open);
    for (const std::string& piece : list.pieces) {
        size_t equals = piece.find(" = ");
        if (equals == std::string::npos) {
            throw std::runtime_error("argument without a name in: " + line);
        }
        call.args.emplace_back(piece.substr(0, equals), piece.substr(equals + 3));
    }
    std::string rest = line.substr(list.close + 1);
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
        bool fake = line.size() >= fakeMark.size() &&
                    line.compare(line.size() - fakeMark.size(), fakeMark.size(), fakeMark) == 0;
        if (line.empty() || line.rfind("//", 0) == 0 || fake) {
            continue;
        }
        calls.push_back(parseLine(line));
    }
    return calls;
}

} // namespace conformance
