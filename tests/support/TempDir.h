#pragma once

#include <string>

namespace testsupport {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the value goes away.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes `content` to `name` in this directory, replacing the file.
    void write(const std::string& name, const std::string& content) const;
    // Copies a file from the test data directory under the same or a new name.
    void copyTestFile(const std::string& source, const std::string& name) const;

  private:
    std::string path_;
};

// The test data directory (shaders and other inputs of the tests).
std::string testDataPath(const std::string& name);

} // namespace testsupport
