#pragma once

#include "XClient.h"

#include <string>

namespace testsupport {

// A PNG file's pixels, as the X server's pictures are held.
Image decodePng(const std::string& bytes);

} // namespace testsupport
