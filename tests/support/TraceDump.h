#pragma once

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

    // The value of argument `name`; throws when the call has no such argument.
    const std::string& arg(const std::string& name) const;
    // For output parameters printed as "&VALUE": VALUE.
    std::string pointee(const std::string& name) const;
    // The whole call, for failure messages.
    std::string text() const;
};

// The demo's calls in a dump, in trace order: without the comment lines and
// without the calls that apitrace adds itself, marked "// fake".
std::vector<TraceCall> parseTraceDump(const std::string& dump);

} // namespace conformance
