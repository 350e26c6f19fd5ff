// Preloaded into the demo by the tests that listen to it ending: the
// windowing library's terminate call, the demo's last step before main
// returns, notes that it was reached by creating the file named by
// VELLOMIRKE_HOLD_MARK, then waits until the test creates the file named by
// VELLOMIRKE_HOLD_RELEASE. The test can listen to the process on its way out
// for as long as it likes.
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

extern "C" void glfwTerminate() {
    static auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glfwTerminate"));
    if (const char* mark = std::getenv("VELLOMIRKE_HOLD_MARK")) {
        if (std::FILE* file = std::fopen(mark, "w")) {
            std::fclose(file);
        }
    }
    if (const char* release = std::getenv("VELLOMIRKE_HOLD_RELEASE")) {
        while (access(release, F_OK) != 0) {
            usleep(10000);
        }
    }
    real();
}
