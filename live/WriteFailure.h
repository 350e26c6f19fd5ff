#pragma once

#include <string>
#include <system_error>

// Why a file could not be written, as the system said it. A folder on
// read-only media is told by the system's own code, never guessed from the
// folder: EROFS on Linux, a write-protected medium on Windows.
struct WriteFailure {
    std::error_code cause;

    bool readOnlyFolder() const;
    // The folder took no file at all: read-only, or no right to write there
    // (EACCES, EPERM; on Windows, access denied).
    bool refused() const;
    // "cannot write PATH: its folder is read-only", or with the system's
    // reason: "cannot write PATH: Permission denied".
    std::string describe(const std::string& path) const;
};

// The failure that the C library call that has just failed left in errno.
// Call it at once, before anything else can change errno.
WriteFailure lastWriteFailure();
