#pragma once

#include <string>

// The command `--import SRC DIR`: writes DIR/fragment.glsl (never over one
// that exists unless `force`) and DIR/vertex.glsl when there is none,
// making DIR where it does not exist (not its parent). What it would write
// is built first as --check builds it: a piece that would not build is not
// written, its problems given at SRC's lines; the page's warnings are given
// at the written file's. Returns the exit status; messages go to standard
// error.
int importShader(const std::string& sourcePath, const std::string& dir, bool force);
