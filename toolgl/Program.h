#pragma once

#include <glad/gl.h>

#include <string>

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

// What building a program from a vertex and a fragment source gave: the
// program, when both stages compiled and linked, and for each step whether
// it failed and the driver's log of it.
struct ProgramBuild {
    struct Step {
        bool failed = false;
        std::string log; // as the driver wrote it; may be empty
    };
    Program program;
    Step vertex;
    Step fragment;
    Step link; // tried only when both stages compiled
};

// The tools' one way of building a program (the demo has its own, with its
// own words). A null source is a stage that could not be had: it counts as
// failed, with no log, and the other stage is compiled all the same.
ProgramBuild buildProgram(const char* vertexSource, const char* fragmentSource);
