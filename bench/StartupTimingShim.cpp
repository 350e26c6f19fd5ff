// Preloaded into the demo or the baseline by bench/run: stamps the moments
// that divide start-up into its parts, writes them to VELLOMIRKE_BENCH_OUT as
// "name milliseconds-since-launch" lines once the first frame has been
// presented, and ends the process there. A last line, "libraries N", counts
// the shared objects that were loaded before main.
//
// Each stamp is a library call that the program makes between two of its
// start-up steps, so the gaps between them are the steps themselves:
//   loaded                 dynamic loading done, before main
//   glfwInit.begin/end     the windowing library
//   window                 full-screen window and context created
//   current                context made current
//   swapInterval           the GL loader ran just before this
//   resizeCallback         the shader build (and glViewport) ran before this
//   loop                   the first test of the frame loop
//   time, poll, size       the first glfwGetTime, glfwPollEvents and
//                          glfwGetFramebufferSize: vellomirke-live starts its
//                          clock after the first build, polls before its
//                          first draw and asks the window's size after it
//   firstFrame             glfwSwapBuffers of the first frame has returned
#include <GLFW/glfw3.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

namespace {

struct Stamp {
    const char* name;
    double ms;
};

Stamp stamps[32];
std::atomic<int> stampCount{0};
// Shared objects in the process when the program's own code starts: the
// program's and its libraries', those of this shim and the loader's.
int librariesAtStart = 0;

double sinceLaunch() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const char* t0 = std::getenv("VELLOMIRKE_BENCH_T0");
    double start = t0 != nullptr ? std::atof(t0) : 0.0;
    return (static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec) - start) / 1e6;
}

void stamp(const char* name) {
    int slot = stampCount.fetch_add(1);
    if (slot < 32) {
        stamps[slot] = {name, sinceLaunch()};
    }
}

void writeAndExit() {
    if (const char* path = std::getenv("VELLOMIRKE_BENCH_OUT")) {
        if (std::FILE* out = std::fopen(path, "w")) {
            for (int i = 0; i < stampCount.load() && i < 32; ++i) {
                std::fprintf(out, "%s %.3f\n", stamps[i].name, stamps[i].ms);
            }
            std::fprintf(out, "libraries %d\n", librariesAtStart);
            std::fclose(out);
        }
    }
    _exit(0);
}

template <typename Fn> Fn next(const char* name) {
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

__attribute__((constructor)) void loaded() {
    stamp("loaded");
    dl_iterate_phdr([](dl_phdr_info*, size_t, void*) { return ++librariesAtStart, 0; }, nullptr);
}

} // namespace

extern "C" {

int glfwInit() {
    stamp("glfwInit.begin");
    int result = next<int (*)()>("glfwInit")();
    stamp("glfwInit.end");
    return result;
}

GLFWwindow* glfwCreateWindow(int width, int height, const char* title, GLFWmonitor* monitor,
                             GLFWwindow* share) {
    auto real =
        next<GLFWwindow* (*)(int, int, const char*, GLFWmonitor*, GLFWwindow*)>("glfwCreateWindow");
    GLFWwindow* window = real(width, height, title, monitor, share);
    stamp("window");
    return window;
}

void glfwMakeContextCurrent(GLFWwindow* window) {
    next<void (*)(GLFWwindow*)>("glfwMakeContextCurrent")(window);
    stamp("current");
}

void glfwSwapInterval(int interval) {
    stamp("swapInterval");
    next<void (*)(int)>("glfwSwapInterval")(interval);
}

GLFWframebuffersizefun glfwSetFramebufferSizeCallback(GLFWwindow* window,
                                                      GLFWframebuffersizefun callback) {
    stamp("resizeCallback");
    return next<GLFWframebuffersizefun (*)(GLFWwindow*, GLFWframebuffersizefun)>(
        "glfwSetFramebufferSizeCallback")(window, callback);
}

int glfwWindowShouldClose(GLFWwindow* window) {
    static bool first = true;
    if (first) {
        first = false;
        stamp("loop");
    }
    return next<int (*)(GLFWwindow*)>("glfwWindowShouldClose")(window);
}

double glfwGetTime() {
    static bool first = true;
    if (first) {
        first = false;
        stamp("time");
    }
    return next<double (*)()>("glfwGetTime")();
}

void glfwPollEvents() {
    static bool first = true;
    if (first) {
        first = false;
        stamp("poll");
    }
    next<void (*)()>("glfwPollEvents")();
}

void glfwGetFramebufferSize(GLFWwindow* window, int* width, int* height) {
    static bool first = true;
    if (first) {
        first = false;
        stamp("size");
    }
    next<void (*)(GLFWwindow*, int*, int*)>("glfwGetFramebufferSize")(window, width, height);
}

void glfwSwapBuffers(GLFWwindow* window) {
    next<void (*)(GLFWwindow*)>("glfwSwapBuffers")(window);
    stamp("firstFrame");
    writeAndExit();
}

} // extern "C"
