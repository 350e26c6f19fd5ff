#pragma once

// SDL2 and SDL2_mixer, loaded at run time. Neither program links them, so
// that each starts with no more shared libraries than its window needs; the
// players' own threads load them while the picture goes on. The headers give
// the types and constants only; every call goes through the pointers below.
#include <SDL.h>
#include <SDL_mixer.h>

struct MixerLibrary {
    decltype(&SDL_SetHint) setHint;
    decltype(&SDL_SetHintWithPriority) setHintWithPriority;
    decltype(&SDL_InitSubSystem) initSubSystem;
    decltype(&SDL_QuitSubSystem) quitSubSystem;
    decltype(&SDL_RWFromFile) rwFromFile;
    decltype(&SDL_Quit) quit;
    decltype(&Mix_Init) mixInit;
    decltype(&Mix_OpenAudioDevice) openAudioDevice;
    decltype(&Mix_LoadMUS_RW) loadMusicRW;
    decltype(&Mix_LoadMUS) loadMusic;
    decltype(&Mix_MusicDuration) musicDuration;
    decltype(&Mix_PlayMusic) playMusic;
    decltype(&Mix_FadeInMusicPos) fadeInMusicPos;
    decltype(&Mix_PauseMusic) pauseMusic;
    decltype(&Mix_HaltMusic) haltMusic;
    decltype(&Mix_FreeMusic) freeMusic;
    decltype(&Mix_CloseAudio) closeAudio;
    decltype(&Mix_Quit) mixQuit;
};

// Loads both libraries by their versioned names and resolves every call, on
// the first call; null, then and ever after, when a library or a call is
// missing. The libraries stay loaded for the rest of the process.
const MixerLibrary* mixerLibrary();
