// Preloaded into the demo by SoundtrackFailure.SoundLibrariesMissing: dlopen
// finds no SDL library, as on a machine without them, and notes each name it
// refused in the file named by VELLOMIRKE_SHIM_LOG.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

extern "C" void* dlopen(const char* name, int flags) {
    static auto real = reinterpret_cast<void* (*)(const char*, int)>(dlsym(RTLD_NEXT, "dlopen"));
    if (name != nullptr && std::strstr(name, "libSDL2") != nullptr) {
        if (const char* path = std::getenv("VELLOMIRKE_SHIM_LOG")) {
            if (std::FILE* log = std::fopen(path, "a")) {
                std::fprintf(log, "%s\n", name);
                std::fclose(log);
            }
        }
        return nullptr;
    }
    return real(name, flags);
}
