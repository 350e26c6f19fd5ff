#include "FolderName.h"

#include <filesystem>

std::string folderName(const std::string& dir) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(dir, error);
    std::string name = (error ? std::filesystem::path(dir) : path).filename().string();
    return name.empty() ? dir : name;
}
