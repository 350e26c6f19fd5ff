// Preloaded into the demo for its run under callgrind, which makes it some
// fifty times slower: the demo's clock (glfwGetTime) is slowed down by
// VELLOMIRKE_BENCH_CLOCK_SCALE, so that the thirty-second loop does not end
// after its first frames, and the process ends after VELLOMIRKE_BENCH_FRAMES
// clock readings (one per frame). The program's per-frame work is otherwise
// untouched.
#include <cstdlib>
#include <dlfcn.h>
#include <unistd.h>

extern "C" double glfwGetTime() {
    static auto real = reinterpret_cast<double (*)()>(dlsym(RTLD_NEXT, "glfwGetTime"));
    static const char* scaleText = std::getenv("VELLOMIRKE_BENCH_CLOCK_SCALE");
    static const double scale = scaleText != nullptr ? std::atof(scaleText) : 1.0;
    static const char* framesText = std::getenv("VELLOMIRKE_BENCH_FRAMES");
    static const long frames = framesText != nullptr ? std::atol(framesText) : 0;
    static long readings = 0;
    if (frames > 0 && ++readings > frames) {
        _exit(0);
    }
    return real() * scale;
}
