#pragma once

#include "XvfbServer.h"

#include <memory>

struct GLFWwindow;

namespace testsupport {

// A hidden window with a current OpenGL 3.3 core context on a private Xvfb,
// with the GL entry points loaded: what the shader builder needs to run.
class GlContext {
  public:
    GlContext();
    ~GlContext();
    GlContext(const GlContext&) = delete;
    GlContext& operator=(const GlContext&) = delete;

  private:
    std::unique_ptr<XvfbServer> server_;
    GLFWwindow* window_ = nullptr;
};

} // namespace testsupport
