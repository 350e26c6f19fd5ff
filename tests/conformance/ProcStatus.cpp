#include "ProcStatus.h"

#include "ChildProcess.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace conformance {

std::vector<pid_t> childrenOf(pid_t parent) {
    const std::string task = "/proc/" + std::to_string(parent) + "/task/";
    std::istringstream listed(testsupport::readFile(task + std::to_string(parent) + "/children"));
    return {std::istream_iterator<pid_t>(listed), std::istream_iterator<pid_t>()};
}

std::optional<long> residentKib(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return std::nullopt;
}

} // namespace conformance
