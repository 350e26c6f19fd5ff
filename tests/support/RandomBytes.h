#pragma once

#include <random>
#include <string>

namespace testsupport {

// `count` bytes of every value, NUL included, the same for the same `seed`:
// a binary file where text or sound is expected.
inline std::string randomBytes(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xff);
    }
    return bytes;
}

} // namespace testsupport
