#pragma once

#include "WriteFailure.h"

#include <optional>
#include <string>

// The whole of the file at `path`, or nothing with the reason in `failure`
// ("No such file or directory", "Is a directory", an I/O error...).
std::optional<std::string> readTextFile(const std::string& path, std::string& failure);

// Writes `text` to `path` through a file beside it that is then renamed into
// place, so that a running vellomirke-live never builds half a file and a
// failed write leaves the old file as it was, and nothing beside it. Returns
// why it failed, or nothing.
std::optional<WriteFailure> replaceFile(const std::string& path, const std::string& text);
