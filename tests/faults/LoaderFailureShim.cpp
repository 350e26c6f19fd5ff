// Preloaded into the demo by LoaderFailureTest: the context's procedure
// lookup finds nothing, as with a driver that lacks the OpenGL 3.3 entry
// points, so the GL loader fails. It also notes, in the file named by
// VELLOMIRKE_SHIM_LOG, each glfwTerminate call and the process's exit, so the
// test can tell whether the library was shut down before the process ended.
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

void note(const char* event) {
    const char* path = std::getenv("VELLOMIRKE_SHIM_LOG");
    if (path == nullptr) {
        return;
    }
    if (std::FILE* log = std::fopen(path, "a")) {
        std::fprintf(log, "%s\n", event);
        std::fclose(log);
    }
}

__attribute__((destructor)) void noteExit() {
    note("exit");
}

} // namespace

extern "C" GLFWglproc glfwGetProcAddress(const char*) {
    return nullptr;
}

extern "C" void glfwTerminate() {
    note("glfwTerminate");
    using Terminate = void (*)();
    if (auto real = reinterpret_cast<Terminate>(dlsym(RTLD_NEXT, "glfwTerminate"))) {
        real();
    }
}
