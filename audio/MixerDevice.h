#pragma once

#include "MixerLibrary.h"

// SDL's audio and the mixer's output device, set up the same way by every
// SDL player here (the demo's soundtrack, vellomirke-live's music), on the
// player's own thread: it may wait as long as a sound server takes to answer.
//
// Starts SDL's audio and opens the device: 512 frames at 48 kHz, about 11 ms
// per mixing period. Music starts, or moves after a seek, in the first period
// mixed after the call, and SDL's PulseAudio and ALSA drivers buffer one to
// two periods beyond it, which keeps the start within about 25 ms
// (bench/audio measures it: about 15 ms to a PulseAudio sink). Returns
// whether the device is open; where it is not, SDL's audio may have started
// all the same, for the caller's SDL_QuitSubSystem or SDL_Quit to end.
bool openMixerDevice(const MixerLibrary& sdl);

// The track at `path`, or null when it cannot be played. The decoder is
// chosen by what the file holds, as the Windows player does, so that a WAV
// or Ogg file saved under the name audio.mp3 still plays; content that
// SDL_mixer does not recognise goes to the decoder that the file's name asks
// for.
Mix_Music* loadTrack(const MixerLibrary& sdl, const char* path);
