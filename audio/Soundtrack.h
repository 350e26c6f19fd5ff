#pragma once

// The demo's music: audio.mp3 in the working directory, looped.
// Neither call reports anything or waits for playback; without a playable
// file or an audio device the demo simply runs silently.
namespace Soundtrack {

// Opens audio.mp3 and prepares it so that playback can start at once.
void open();

// Starts looped playback in the background; it runs until the process ends.
void playLooping();

} // namespace Soundtrack
