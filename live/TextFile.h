#pragma once

#include <optional>
#include <string>

// The whole of the file at `path`, or nothing with the reason in `failure`
// ("No such file or directory", "Is a directory", an I/O error...).
std::optional<std::string> readTextFile(const std::string& path, std::string& failure);
