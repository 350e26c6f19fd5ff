#pragma once

// SDL2 and SDL2_mixer, loaded at run time. The demo does not link them, so
// that it starts with no more shared libraries than its window needs; the
// soundtrack's own thread loads them while the window is being set up. The
// headers give the types and constants only; every call goes through the
// pointers below.
#include <SDL.h>
#include <SDL_mixer.h>

struct MixerLibrary {
    decltype(&SDL_SetHint) setHint;
    decltype(&SDL_InitSubSystem) initSubSystem;
    decltype(&SDL_RWFromFile) rwFromFile;
    decltype(&SDL_Quit) quit;
    decltype(&Mix_Init) mixInit;
    decltype(&Mix_OpenAudioDevice) openAudioDevice;
    decltype(&Mix_LoadMUS_RW) loadMusicRW;
    decltype(&Mix_LoadMUS) loadMusic;
    decltype(&Mix_PlayMusic) playMusic;
    decltype(&Mix_HaltMusic) haltMusic;
    decltype(&Mix_FreeMusic) freeMusic;
    decltype(&Mix_CloseAudio) closeAudio;
    decltype(&Mix_Quit) mixQuit;
};

// Loads both libraries by their versioned names and resolves every call;
// false when a library or a call is missing, and then `library` is left
// unusable. The libraries stay loaded for the rest of the process.
bool loadMixerLibrary(MixerLibrary& library);

// What playing a track from a position takes beyond the demo's calls, for
// vellomirke-live, which pauses, seeks and loops its music with the piece's
// time. Like the rest, loaded at run time: not before its first picture.
struct MixerSeeking {
    decltype(&SDL_QuitSubSystem) quitSubSystem;
    decltype(&Mix_OpenAudio) openAudio;
    decltype(&Mix_FadeInMusicPos) fadeInMusicPos;
    decltype(&Mix_PauseMusic) pauseMusic;
    decltype(&Mix_MusicDuration) musicDuration;
};

// Loads both libraries as loadMixerLibrary does and resolves these calls too;
// false when one is missing.
bool loadMixerSeeking(MixerLibrary& library, MixerSeeking& seeking);
