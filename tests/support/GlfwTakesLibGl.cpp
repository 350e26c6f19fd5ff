// Preloaded into the demo under apitrace. GLFW 3.4 opens libGLX.so.0 for the
// GLX entry points where 3.3 opened libGL.so.1, and apitrace's GLX wrapper
// stands in only for the libGL names: the calls would go past it, untraced.
// Refusing libGLX.so.0 to dlopen alone (libGL.so.1 still links it) makes
// GLFW go on to libGL.so.1, as it does where libGLX.so.0 is missing, and so
// through the wrapper.
#include <cstring>
#include <dlfcn.h>

extern "C" void* dlopen(const char* name, int flags) {
    static auto real = reinterpret_cast<void* (*)(const char*, int)>(dlsym(RTLD_NEXT, "dlopen"));
    if (name != nullptr && std::strcmp(name, "libGLX.so.0") == 0) {
        return nullptr;
    }
    return real(name, flags);
}
