// Linked into the sanitizer build of the demo only. This glfwTerminate, which
// the executable's calls bind to, keeps the GL driver loaded past GLFW's own
// (see KeepLibrariesLoaded.h), so that the driver's leftovers can be named in
// the leak suppressions while the program's own code stays fully checked.
#include "KeepLibrariesLoaded.h"

extern "C" void glfwTerminate() {
    testsupport::keepLoadedLibrariesLoaded();
    using Terminate = void (*)();
    if (auto real = reinterpret_cast<Terminate>(dlsym(RTLD_NEXT, "glfwTerminate"))) {
        real();
    }
}
