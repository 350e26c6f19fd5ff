#include "Builder.h"

#include "LogMapper.h"
#include "TextFile.h"

#include <cstring>
#include <optional>

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

// One compiled stage, or none when its file is unreadable or its source does
// not compile; the reasons go to `problems`.
GLuint compileStage(GLenum type, const std::string& dir, const std::string& name,
                    std::vector<std::string>& problems) {
    std::string failure;
    std::optional<std::string> source = readTextFile(dir + "/" + name, failure);
    if (!source) {
        problems.push_back(name + ": cannot read: " + failure);
        return 0;
    }
    GLuint shader = glCreateShader(type);
    const char* text = source->c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        std::vector<std::string> lines = mapDriverLog(name, infoLog(shader, false));
        if (lines.empty()) {
            lines.push_back(name + ": does not compile");
        }
        problems.insert(problems.end(), lines.begin(), lines.end());
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

BuildResult buildPiece(const std::string& dir) {
    BuildResult result;
    GLuint vertex = compileStage(GL_VERTEX_SHADER, dir, "vertex.glsl", result.problems);
    GLuint fragment = compileStage(GL_FRAGMENT_SHADER, dir, "fragment.glsl", result.problems);
    if (vertex != 0 && fragment != 0) {
        Program program(glCreateProgram());
        glAttachShader(program.id(), vertex);
        glAttachShader(program.id(), fragment);
        glLinkProgram(program.id());
        GLint linked = GL_FALSE;
        glGetProgramiv(program.id(), GL_LINK_STATUS, &linked);
        if (linked == GL_TRUE) {
            result.program = std::move(program);
        } else {
            // Link messages name no file; they concern the pair.
            std::vector<std::string> lines = mapDriverLog("link", infoLog(program.id(), true));
            if (lines.empty()) {
                lines.push_back("link: the two stages do not link");
            }
            result.problems.insert(result.problems.end(), lines.begin(), lines.end());
        }
    }
    // Attached stages live on with the program; the rest go now.
    if (vertex != 0) {
        glDeleteShader(vertex);
    }
    if (fragment != 0) {
        glDeleteShader(fragment);
    }
    return result;
}
