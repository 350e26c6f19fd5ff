#pragma once

#include <string>
#include <vector>

// Rewrites a GL driver's info log into lines that an editor can jump from:
// "fragment.glsl:8:2: error: ..." (or "fragment.glsl:8: ..." where the
// driver gives no column). Understood forms:
//   Mesa:                  0:8(2): error: ...
//   NVIDIA:                0(8) : error C0000: ...
//   AMD and Intel (Windows): ERROR: 0:8: ...
// Any other line is kept as it stands, after "fragment.glsl: ". Blank lines
// are dropped.
std::vector<std::string> mapDriverLog(const std::string& fileName, const std::string& log);
