#pragma once

#include <string>

// The Windows media-command interface, as every player here uses it (the
// demo's soundtrack, vellomirke-live's music). A device opened with media
// commands answers only the thread that opened it.
//
// Every opened device must be closed before the process ends, while all of
// its threads still run: left open, it is torn down by ExitProcess after the
// player's reader and decoder threads have been cut off mid-stream, and
// Wine's media player then faults in its reader thread, ending the process
// with a segmentation fault instead of the program's status (Wine 8: every
// time). Wine 10's player is the other way round: its close hangs about one
// time in three, for good, while left open it ends with the process. Both
// measured with a program of a dozen lines that opens a track, plays it for
// 1.5 s and returns, with and without the close: closeBeforeExit() says
// which player this is.

// Sends `text`; true when the command succeeded. The device's answer goes to
// `answer` where one is asked for.
bool mediaCommand(const std::string& text, std::string* answer = nullptr);

// Opens the track at `path` as the device `alias`. The player is chosen by
// what the file holds ("mpegvideo" plays MP3 and WAV alike), so that a WAV
// file saved as audio.mp3 plays as well. False without a file, a playable
// track or a device.
bool openMediaTrack(std::string path, const std::string& alias);

// Whether a device is to be closed before the process ends: on Windows and
// up to Wine 9, yes; from Wine 10 on, no (see above).
bool closeBeforeExit();
