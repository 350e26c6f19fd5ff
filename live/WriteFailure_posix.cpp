// The cause of a failed write on Linux: errno is the system's own code.
#include "WriteFailure.h"

#include <cerrno>

WriteFailure lastWriteFailure() {
    // A failure that set nothing is still a failure.
    return {std::error_code(errno != 0 ? errno : EIO, std::generic_category())};
}
