// The cause of a failed write on Windows. The C library turns both a
// write-protected medium and a denied access into EACCES; the system's own
// code, which it keeps beside errno in _doserrno, tells them apart.
#include "WriteFailure.h"

#include <windows.h>

#include <cerrno>
#include <cstdlib>

WriteFailure lastWriteFailure() {
    if (errno == EACCES && _doserrno == ERROR_WRITE_PROTECT) {
        return {std::make_error_code(std::errc::read_only_file_system)};
    }
    // A failure that set nothing is still a failure.
    return {std::error_code(errno != 0 ? errno : EIO, std::generic_category())};
}
