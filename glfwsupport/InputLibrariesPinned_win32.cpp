// GLFW's Windows back end loads an XInput library and DirectInput 8 in
// glfwInit, for joysticks that these programs never read, and frees them in
// glfwTerminate. Wine's XInput answers GLFW's question about controllers at
// start-up with a thread of its own ("wine_xinput_hid_update"), which may
// still run when glfwTerminate frees the library: the library is unmapped
// under it, and the process faults on its way out, after the program is
// done ("Unhandled page fault on execute access" in xinput1_4.dll).
//
// Loaded and pinned here, before main, the libraries stay mapped until the
// process ends, whatever glfwTerminate frees, and a thread of theirs ends with
// the process. Nothing else changes: GLFW loads the same libraries, in the
// same order, and pinning a library is all that Windows does differently.
#include <windows.h>

#include <initializer_list>

namespace {

bool loadedAndPinned(const wchar_t* name) {
    if (LoadLibraryW(name) == nullptr) {
        return false;
    }
    HMODULE module = nullptr;
    return GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, name, &module) != FALSE;
}

struct InputLibrariesPinned {
    InputLibrariesPinned() {
        // The XInput that GLFW takes: the first of its list that loads.
        for (const wchar_t* xinput : {L"xinput1_4.dll", L"xinput1_3.dll", L"xinput9_1_0.dll",
                                      L"xinput1_2.dll", L"xinput1_1.dll"}) {
            if (loadedAndPinned(xinput)) {
                break;
            }
        }
        loadedAndPinned(L"dinput8.dll");
    }
};

// Constructed while the runtime starts the program, before main.
const InputLibrariesPinned inputLibrariesPinned;

} // namespace
