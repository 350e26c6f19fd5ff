#include "ShaderProgram.h"

#include <fstream>
#include <iostream>
#include <sstream>

ShaderProgram::ShaderProgram(const char* vertexPath, const char* fragmentPath) {
    id = glCreateProgram();

    // The fragment file is read only after the vertex stage has been compiled
    // and reported, so that messages come out in the order of the build.
    std::string vertexString = loadSource(vertexPath);
    const char* vertexCode = vertexString.c_str();
    GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    glShaderSource(vertex, 1, &vertexCode, nullptr);
    glCompileShader(vertex);
    checkStatus(vertex, "vertex");
    glAttachShader(id, vertex);

    std::string fragmentString = loadSource(fragmentPath);
    const char* fragCode = fragmentString.c_str();
    GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(fragment, 1, &fragCode, nullptr);
    glCompileShader(fragment);
    checkStatus(fragment, "fragment");
    glAttachShader(id, fragment);

    // A stage that failed to compile is still attached, so the link runs and
    // its failure is reported as well.
    glLinkProgram(id);
    checkStatus(id, "program");

    // Both stages stay attached, so the GL keeps them alive with the program.
    glDeleteShader(vertex);
    glDeleteShader(fragment);
}

void ShaderProgram::use() {
    glUseProgram(id);
}

std::string ShaderProgram::loadSource(const char* path) {
    std::string code;
    std::ifstream shaderFile;
    shaderFile.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    try {
        shaderFile.open(path);
        std::stringstream shaderStream;
        shaderStream << shaderFile.rdbuf();
        // The buffer copy above swallows a read error and just stops, which
        // would hand a truncated text to the compiler. Asking the file for
        // one more character repeats the failing read, and the stream's
        // exception mask turns it into the same failure as an open error.
        // At a clean end of file this only sets eofbit, which is not masked.
        shaderFile.peek();
        shaderFile.close();
        code = shaderStream.str();
    } catch (const std::ifstream::failure& e) {
        code.clear();
        std::cout << "ERROR SHADER reading a file failed" << std::endl;
    }
    return code;
}

void ShaderProgram::checkStatus(GLuint object, std::string kind) {
    GLint success;
    GLchar info[1024];
    if (kind != "program") {
        glGetShaderiv(object, GL_COMPILE_STATUS, &success);
        if (!success) {
            glGetShaderInfoLog(object, 1024, nullptr, info);
            std::cout << "ERROR SHADER filed to compile shader of type " << kind << "\n"
                      << info << "\n"
                      << std::endl;
        }
    } else {
        glGetProgramiv(object, GL_LINK_STATUS, &success);
        if (!success) {
            glGetProgramInfoLog(object, 1024, nullptr, info);
            std::cout << "ERROR SHADER program linking failed\n" << info << std::endl;
        }
    }
}
