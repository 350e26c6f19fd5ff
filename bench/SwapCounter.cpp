// Preloaded into the demo by bench/run to measure its live frame rate: counts
// buffer swaps and, when the windowing library is terminated, writes
// "swaps N" and "seconds S" (from the first swap to the last) to the file
// named by VELLOMIRKE_BENCH_OUT.
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

using Clock = std::chrono::steady_clock;

long swaps = 0;
Clock::time_point firstSwap;
Clock::time_point lastSwap;

template <typename Fn> Fn next(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

void glfwSwapBuffers(GLFWwindow* window) {
    next<void (*)(GLFWwindow*)>("glfwSwapBuffers")(window);
    lastSwap = Clock::now();
    if (swaps++ == 0) {
        firstSwap = lastSwap;
    }
}

void glfwTerminate() {
    if (const char* path = std::getenv("VELLOMIRKE_BENCH_OUT")) {
        if (std::FILE* out = std::fopen(path, "w")) {
            std::fprintf(out, "swaps %ld\nseconds %.6f\n", swaps,
                         std::chrono::duration<double>(lastSwap - firstSwap).count());
            std::fclose(out);
        }
    }
    next<void (*)()>("glfwTerminate")();
}

} // extern "C"
