// Linked into the sanitizer build of the demo only. glfwTerminate unloads the
// GL driver that GLFW loaded; LeakSanitizer, which reports at exit, would then
// see the driver's own leftover allocations with no library to name, and they
// could not be told apart from the program's. This glfwTerminate, which the
// executable's calls bind to, marks every loaded library as never to be
// unloaded and then calls GLFW's, so that tests/lsan.supp can name the
// driver's libraries while the program's own code stays fully checked.
#include <dlfcn.h>
#include <link.h>

extern "C" void glfwTerminate() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
    using Terminate = void (*)();
    if (auto real = reinterpret_cast<Terminate>(dlsym(RTLD_NEXT, "glfwTerminate"))) {
        real();
    }
}
