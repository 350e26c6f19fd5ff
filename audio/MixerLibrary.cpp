#include "MixerLibrary.h"

#include <dlfcn.h>

namespace {

template <typename Function> bool resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

// The names of the runtime packages, not of the -dev symlinks, which a
// machine that only runs the demo does not have. Loading them again gives the
// same handles.
bool openLibraries(void*& sdl, void*& mixer) {
    sdl = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_LOCAL);
    mixer = sdl != nullptr ? dlopen("libSDL2_mixer-2.0.so.0", RTLD_LAZY | RTLD_LOCAL) : nullptr;
    return mixer != nullptr;
}

} // namespace

bool loadMixerLibrary(MixerLibrary& l) {
    void* sdl = nullptr;
    void* mixer = nullptr;
    if (!openLibraries(sdl, mixer)) {
        return false;
    }
    return resolve(sdl, "SDL_SetHint", l.setHint) &&
           resolve(sdl, "SDL_InitSubSystem", l.initSubSystem) &&
           resolve(sdl, "SDL_RWFromFile", l.rwFromFile) && resolve(sdl, "SDL_Quit", l.quit) &&
           resolve(mixer, "Mix_Init", l.mixInit) &&
           resolve(mixer, "Mix_OpenAudioDevice", l.openAudioDevice) &&
           resolve(mixer, "Mix_LoadMUS_RW", l.loadMusicRW) &&
           resolve(mixer, "Mix_LoadMUS", l.loadMusic) &&
           resolve(mixer, "Mix_PlayMusic", l.playMusic) &&
           resolve(mixer, "Mix_HaltMusic", l.haltMusic) &&
           resolve(mixer, "Mix_FreeMusic", l.freeMusic) &&
           resolve(mixer, "Mix_CloseAudio", l.closeAudio) && resolve(mixer, "Mix_Quit", l.mixQuit);
}

bool loadMixerSeeking(MixerLibrary& l, MixerSeeking& s) {
    void* sdl = nullptr;
    void* mixer = nullptr;
    return loadMixerLibrary(l) && openLibraries(sdl, mixer) &&
           resolve(sdl, "SDL_QuitSubSystem", s.quitSubSystem) &&
           resolve(mixer, "Mix_OpenAudio", s.openAudio) &&
           resolve(mixer, "Mix_FadeInMusicPos", s.fadeInMusicPos) &&
           resolve(mixer, "Mix_PauseMusic", s.pauseMusic) &&
           resolve(mixer, "Mix_MusicDuration", s.musicDuration);
}
