#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace conformance {

// One call as `apitrace dump --multiline=false` prints it:
//   1234 glUniform1f(location = 0, v0 = 0.2804605)
//   12 glCreateProgram() = 1
// Argument values and the result are kept as the dump spells them.
struct TraceCall {
    long number = 0;
    std::string name;
    std::vector<std::pair<std::string, std::string>> args;
    std::string result;
    // Calls that apitrace adds to a trace itself, marked "// fake".
    bool fake = false;

    // The value of argument `name`; throws when the call has no such argument.
    const std::string& arg(const std::string& name) const;
    // For output parameters printed as "&VALUE": VALUE.
    std::string pointee(const std::string& name) const;
    // The whole call, for failure messages.
    std::string text() const;
};

// All calls of a dump, in trace order, without the comment lines.
std::vector<TraceCall> parseTraceDump(const std::string& dump);

// A string argument ("\"timeValue\"") without its quotes and escapes.
std::string unquote(const std::string& value);

} // namespace conformance
