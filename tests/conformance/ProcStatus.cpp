#include "ProcStatus.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace conformance {

std::vector<pid_t> childrenOf(pid_t parent) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) {
            continue;
        }
        // "pid (comm) state ppid ...": comm may hold blanks and parentheses.
        size_t afterComm = line.rfind(')');
        if (afterComm == std::string::npos) {
            continue;
        }
        std::istringstream fields(line.substr(afterComm + 1));
        std::string state;
        pid_t ppid = 0;
        if (fields >> state >> ppid && ppid == parent) {
            children.push_back(static_cast<pid_t>(std::atol(name.c_str())));
        }
    }
    return children;
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
