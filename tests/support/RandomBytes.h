#pragma once

#include "TempDir.h"

#include <cstddef>
#include <random>
#include <string>

namespace testsupport {

// `count` bytes of noise in `dir` as `name`, the same for the same `seed`.
inline void writeRandomBytes(const TempDir& dir, const std::string& name, std::size_t count,
                             unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xff);
    }
    dir.write(name, bytes);
}

} // namespace testsupport
