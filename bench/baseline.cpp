// The least a full-screen demo has to do: open the same 1920x1080 full-screen
// OpenGL 3.3 core window with GLFW and present cleared frames. It is the
// yardstick for the demo's start-up (one frame) and for its per-frame cost
// (--frames N: N frames, with the same clock read and event poll per frame).
#include <GLFW/glfw3.h>

#include <cstdlib>
#include <cstring>

namespace {

using ClearFn = void (*)(unsigned int);
constexpr unsigned int colorBufferBit = 0x00004000; // GL_COLOR_BUFFER_BIT

} // namespace

int main(int argc, char** argv) {
    long frames = 1;
    if (argc == 3 && std::strcmp(argv[1], "--frames") == 0) {
        frames = std::atol(argv[2]);
    }
    glfwInit();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    GLFWwindow* window = glfwCreateWindow(1920, 1080, "Baseline", glfwGetPrimaryMonitor(), nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(1);
    // One entry point is all a cleared frame needs; no loader.
    auto clear = reinterpret_cast<ClearFn>(glfwGetProcAddress("glClear"));
    for (long i = 0; i < frames && !glfwWindowShouldClose(window); ++i) {
        clear(colorBufferBit);
        volatile float t = static_cast<float>(glfwGetTime());
        (void)t;
        glfwSwapBuffers(window);
        glfwPollEvents();
    }
    glfwTerminate();
    return 0;
}
