#pragma once

#include <string>

// The last component of a folder's name as a person would say it: "piece" for
// "piece", "piece/" and "/home/me/piece/."; `dir` itself where it has none.
std::string folderName(const std::string& dir);
