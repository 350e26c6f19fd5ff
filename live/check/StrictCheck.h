#pragma once

#include <string>
#include <vector>

// The check on every build that the driver accepted: both stages built with
// glslang as GLSL 3.30 core (GlslCheck.h). What glslang refuses is what
// stricter drivers refuse; what it warns of, they may refuse. Each becomes a
// warning at the author's line, "fragment.glsl:5: warning: ... (this driver
// took it; stricter drivers refuse it)"; none for a piece that passes both.
// GLSL ES, the web page's, is left to --export-web and --check.
std::vector<std::string> strictCheck(const std::string& vertex, const std::string& fragment);
