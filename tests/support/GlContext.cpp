#include "GlContext.h"

#include "KeepLibrariesLoaded.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <stdexcept>

namespace testsupport {

GlContext::GlContext() : server_(std::make_unique<XvfbServer>()) {
    setenv("DISPLAY", server_->display().c_str(), 1);
    if (!glfwInit()) {
        throw std::runtime_error("glfwInit failed");
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window_ = glfwCreateWindow(64, 64, "gl-test", nullptr, nullptr);
    if (window_ == nullptr) {
        glfwTerminate();
        throw std::runtime_error("no OpenGL 3.3 core context");
    }
    glfwMakeContextCurrent(window_);
    if (!gladLoadGL(glfwGetProcAddress)) {
        glfwTerminate();
        throw std::runtime_error("GL loader failed");
    }
    keepLoadedLibrariesLoaded();
}

GlContext::~GlContext() {
    glfwTerminate();
}

} // namespace testsupport
