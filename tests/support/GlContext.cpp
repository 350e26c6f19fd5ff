#include "GlContext.h"

#include <glad/gl.h>
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <dlfcn.h>
#include <link.h>
#include <stdexcept>

namespace testsupport {

namespace {

// The driver stack that GLFW loads is unloaded again by glfwTerminate. Keeping
// it loaded lets LeakSanitizer name the driver's own allocations at exit, so
// that they can be told apart from ours (see tests/lsan.supp).
void keepLoadedLibrariesLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

} // namespace

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
