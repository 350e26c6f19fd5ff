#pragma once

#include <optional>
#include <sys/types.h>
#include <vector>

namespace conformance {

// Processes whose parent is `parent`, from /proc.
std::vector<pid_t> childrenOf(pid_t parent);

// VmRSS of a process in KiB; nothing once it has gone.
std::optional<long> residentKib(pid_t pid);

} // namespace conformance
