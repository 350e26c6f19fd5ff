#pragma once

#include <glad/gl.h>

#include <string>

// One linked GL program built from a vertex and a fragment source file.
// Construction never fails outward: unreadable files, compile errors and
// link errors are printed to standard output and the object is made anyway.
// The program object is never deleted; copying copies only the name.
class ShaderProgram {
  public:
    GLuint id;

    ShaderProgram(const char* vertexPath, const char* fragmentPath);

    void use();

  private:
    std::string loadSource(const char* path);
    void checkStatus(GLuint object, std::string kind);
};
