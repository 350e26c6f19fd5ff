// The least a full-screen demo has to do: open the same 1920x1080 full-screen
// OpenGL 3.3 core window with GLFW and present cleared frames. It is the
// yardstick for the demo's start-up (one frame) and for its per-frame cost
// (--frames N: N frames, with the same clock read and event poll per frame).
// With --windowed it opens vellomirke-live's 1280x720 window instead; with
// --still it presents one frame, says so in its title ("Baseline - shown"),
// and then only waits for events, presenting again when the window needs it,
// until it is closed: the yardstick for a picture that stands still.
#include "DemoContract.h"

#include <GLFW/glfw3.h>

#include <cstdlib>
#include <cstring>

namespace {

using ClearFn = void (*)(unsigned int);
constexpr unsigned int colorBufferBit = 0x00004000; // GL_COLOR_BUFFER_BIT

ClearFn clear = nullptr;

void presentAgain(GLFWwindow* window) {
    clear(colorBufferBit);
    glfwSwapBuffers(window);
}

} // namespace

int main(int argc, char** argv) {
    long frames = 1;
    bool windowed = false;
    bool still = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            frames = std::atol(argv[++i]);
        } else if (std::strcmp(argv[i], "--windowed") == 0) {
            windowed = true;
        } else if (std::strcmp(argv[i], "--still") == 0) {
            still = true;
        }
    }
    glfwInit();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    GLFWwindow* window = windowed ? glfwCreateWindow(1280, 720, "Baseline", nullptr, nullptr)
                                  : glfwCreateWindow(demo::width, demo::height, "Baseline",
                                                     glfwGetPrimaryMonitor(), nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(1);
    // One entry point is all a cleared frame needs; no loader.
    clear = reinterpret_cast<ClearFn>(glfwGetProcAddress("glClear"));
    if (still) {
        presentAgain(window);
        glfwSetWindowTitle(window, "Baseline - shown");
        glfwSetWindowRefreshCallback(window, presentAgain);
        while (!glfwWindowShouldClose(window)) {
            glfwWaitEvents();
        }
    }
    for (long i = 0; !still && i < frames && !glfwWindowShouldClose(window); ++i) {
        clear(colorBufferBit);
        volatile float t = static_cast<float>(glfwGetTime());
        (void)t;
        glfwSwapBuffers(window);
        glfwPollEvents();
    }
    glfwTerminate();
    return 0;
}
