#include "TempDir.h"

#include "ChildProcess.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace testsupport {

TempDir::TempDir() {
    std::string base = std::filesystem::temp_directory_path() / "vellomirke-test-XXXXXX";
    std::vector<char> name(base.begin(), base.end());
    name.push_back('\0');
    if (mkdtemp(name.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = name.data();
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

void TempDir::write(const std::string& name, const std::string& content) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << content;
    if (!out) {
        throw std::runtime_error("cannot write " + file(name));
    }
}

void TempDir::copyTestFile(const std::string& source, const std::string& name) const {
    write(name, readFile(testDataPath(source)));
}

std::string testDataPath(const std::string& name) {
    return std::string(VELLOMIRKE_TEST_DATA) + "/" + name;
}

} // namespace testsupport
