#pragma once

#include <dlfcn.h>
#include <link.h>

namespace testsupport {

// Marks every shared library loaded so far as never to be unloaded.
// glfwTerminate unloads the GL driver that GLFW loaded; LeakSanitizer, which
// reports at exit, would then see the driver's leftover allocations with no
// library to name, and they could not be told apart from ours
// (tests/lsan.supp names the driver's libraries).
inline void keepLoadedLibrariesLoaded() {
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0') {
                dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            }
            return 0;
        },
        nullptr);
}

} // namespace testsupport
