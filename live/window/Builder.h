#pragma once

#include <glad/gl.h>

#include <string>
#include <vector>

// A linked GL program, deleted with the value. Needs the context current.
class Program {
  public:
    Program() = default;
    explicit Program(GLuint id) : id_(id) {}
    ~Program();
    Program(Program&& other) noexcept : id_(other.id_) { other.id_ = 0; }
    Program& operator=(Program&& other) noexcept;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    GLuint id() const { return id_; }
    explicit operator bool() const { return id_ != 0; }

  private:
    GLuint id_ = 0;
};

// What one build gives: a program when everything compiled and linked, and
// the problems found, one line each, ready for standard error.
struct BuildResult {
    Program program;
    std::vector<std::string> problems;
};

// Builds `dir`/vertex.glsl and `dir`/fragment.glsl. A file that cannot be read
// is named; a stage's driver messages are named after its file; a stage that
// failed leaves out the link and its (then only repeated) messages.
BuildResult buildPiece(const std::string& dir);
