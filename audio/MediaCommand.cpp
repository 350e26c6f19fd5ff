#include "MediaCommand.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstdlib>

bool mediaCommand(const std::string& text, std::string* answer) {
    if (answer == nullptr) {
        return mciSendStringA(text.c_str(), nullptr, 0, nullptr) == 0;
    }
    char buffer[128] = "";
    const MCIERROR failed = mciSendStringA(text.c_str(), buffer, sizeof buffer, nullptr);
    *answer = buffer;
    return failed == 0;
}

bool openMediaTrack(std::string path, const std::string& alias) {
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return mediaCommand("open \"" + path + "\" type mpegvideo alias " + alias);
}

bool closeBeforeExit() {
    // Wine's ntdll names its version; Windows' has no such entry.
    using WineVersion = const char*(CDECL*)();
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const FARPROC entry = ntdll != nullptr ? GetProcAddress(ntdll, "wine_get_version") : nullptr;
    if (entry == nullptr) {
        return true;
    }
    const auto version = reinterpret_cast<WineVersion>(reinterpret_cast<void*>(entry));
    return std::atoi(version()) < 10;
}
