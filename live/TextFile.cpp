#include "TextFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

std::optional<std::string> readTextFile(const std::string& path, std::string& failure) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        failure = std::strerror(errno);
        return std::nullopt;
    }
    std::ostringstream text;
    file.exceptions(std::ios::badbit);
    try {
        // The copy swallows a read error and just stops, leaving the file's
        // state as it was (a folder opens, and fails only on reading). Asking
        // for one more character repeats the failing read, which the mask
        // turns into an exception that carries its cause; at a clean end of
        // file it only sets eofbit.
        text << file.rdbuf();
        file.peek();
    } catch (const std::ios_base::failure& error) {
        failure = error.code().message();
        return std::nullopt;
    }
    return text.str();
}

std::optional<WriteFailure> replaceFile(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".vellomirke-tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            // Taken before the clean-up, which sets errno of its own.
            const WriteFailure failure = lastWriteFailure();
            std::remove(temporary.c_str());
            return failure;
        }
    }
    // Not std::rename: on Windows it refuses to replace a file that exists.
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        std::remove(temporary.c_str());
        return WriteFailure{renamed};
    }
    return std::nullopt;
}
