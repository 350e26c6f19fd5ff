// What every platform says alike about a failed write; where the cause comes
// from is the platform's (WriteFailure_posix.cpp, WriteFailure_win32.cpp).
#include "WriteFailure.h"

bool WriteFailure::readOnlyFolder() const {
    return cause == std::errc::read_only_file_system;
}

bool WriteFailure::refused() const {
    return readOnlyFolder() || cause == std::errc::permission_denied ||
           cause == std::errc::operation_not_permitted;
}

std::string WriteFailure::describe(const std::string& path) const {
    return "cannot write " + path + ": " +
           (readOnlyFolder() ? std::string("its folder is read-only") : cause.message());
}
