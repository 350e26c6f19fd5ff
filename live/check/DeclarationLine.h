#pragma once

#include <string>

// The line (1-based) where `name` is first named at file scope in GLSL
// `source`, outside comments, preprocessor directives, braces and
// parentheses: where a global such as "uniform float timeValue;" is
// declared, not a parameter or a use. 0 where it is not.
// glslang keeps no place for a declaration, only for each use.
int declarationLine(const std::string& source, const std::string& name);
