#include "Program.h"

#include <cstring>

namespace {

std::string infoLog(GLuint object, bool isProgram) {
    GLint length = 0;
    if (isProgram) {
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    } else {
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    }
    if (length <= 0) {
        return {};
    }
    std::string log(static_cast<size_t>(length), '\0');
    if (isProgram) {
        glGetProgramInfoLog(object, length, nullptr, log.data());
    } else {
        glGetShaderInfoLog(object, length, nullptr, log.data());
    }
    log.resize(std::strlen(log.c_str()));
    return log;
}

// One compiled stage, or 0 when there is no source or it does not compile.
GLuint compileStage(GLenum type, const char* source, ProgramBuild::Step& step) {
    if (source == nullptr) {
        step.failed = true;
        return 0;
    }
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        step = {true, infoLog(shader, false)};
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

} // namespace

Program::~Program() {
    if (id_ != 0) {
        glDeleteProgram(id_);
    }
}

Program& Program::operator=(Program&& other) noexcept {
    if (this != &other) {
        if (id_ != 0) {
            glDeleteProgram(id_);
        }
        id_ = other.id_;
        other.id_ = 0;
    }
    return *this;
}

ProgramBuild buildProgram(const char* vertexSource, const char* fragmentSource) {
    ProgramBuild build;
    GLuint vertex = compileStage(GL_VERTEX_SHADER, vertexSource, build.vertex);
    GLuint fragment = compileStage(GL_FRAGMENT_SHADER, fragmentSource, build.fragment);
    if (vertex != 0 && fragment != 0) {
        Program program(glCreateProgram());
        glAttachShader(program.id(), vertex);
        glAttachShader(program.id(), fragment);
        glLinkProgram(program.id());
        GLint linked = GL_FALSE;
        glGetProgramiv(program.id(), GL_LINK_STATUS, &linked);
        if (linked == GL_TRUE) {
            build.program = std::move(program);
        } else {
            build.link = {true, infoLog(program.id(), true)};
        }
    }
    // Attached stages live on with the program; the rest go now.
    if (vertex != 0) {
        glDeleteShader(vertex);
    }
    if (fragment != 0) {
        glDeleteShader(fragment);
    }
    return build;
}
