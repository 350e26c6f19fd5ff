// Soundtrack through the Windows media-command interface. The media service
// keeps the opened device under the alias mp3 and plays it in the background.
#include "Soundtrack.h"

#include <windows.h>
#include <mmsystem.h>

void Soundtrack::open() {
    mciSendStringA("open \"audio.mp3\" type mpegvideo alias mp3", nullptr, 0, nullptr);
}

void Soundtrack::playLooping() {
    mciSendStringA("play mp3 repeat", nullptr, 0, nullptr);
}
