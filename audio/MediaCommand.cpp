#include "MediaCommand.h"

#include <windows.h>
#include <mmsystem.h>

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
