#include "GlFunctions.h"

#include <dlfcn.h>
#include <stdexcept>
#include <string>

namespace {

using ProcAddressLookup = void* (*)(const char*);

template <typename Function>
void resolve(ProcAddressLookup lookup, const char* name, Function& function) {
    function = reinterpret_cast<Function>(lookup(name));
    if (function == nullptr) {
        throw std::runtime_error(std::string("the GL context offers no ") + name);
    }
}

} // namespace

GlFunctions loadGlFunctions() {
    auto lookup = reinterpret_cast<ProcAddressLookup>(dlsym(RTLD_DEFAULT, "glfwGetProcAddress"));
    if (lookup == nullptr) {
        throw std::runtime_error("glfwGetProcAddress is not in this process");
    }
    GlFunctions gl;
#define CAPTURE_GL_RESOLVE(type, field, name) resolve(lookup, #name, gl.field);
    CAPTURE_GL_FUNCTIONS(CAPTURE_GL_RESOLVE)
#undef CAPTURE_GL_RESOLVE
    return gl;
}
