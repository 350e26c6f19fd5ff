#include "MixerLibrary.h"

#include <dlfcn.h>

namespace {

template <typename Function> bool resolve(void* handle, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(handle, name));
    return function != nullptr;
}

bool load(MixerLibrary& l) {
    // The names of the runtime packages, not of the -dev symlinks, which a
    // machine that only runs the programs does not have.
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_LOCAL);
    void* mixer =
        sdl != nullptr ? dlopen("libSDL2_mixer-2.0.so.0", RTLD_LAZY | RTLD_LOCAL) : nullptr;
    if (mixer == nullptr) {
        return false;
    }
    return resolve(sdl, "SDL_SetHint", l.setHint) &&
           resolve(sdl, "SDL_SetHintWithPriority", l.setHintWithPriority) &&
           resolve(sdl, "SDL_InitSubSystem", l.initSubSystem) &&
           resolve(sdl, "SDL_QuitSubSystem", l.quitSubSystem) &&
           resolve(sdl, "SDL_RWFromFile", l.rwFromFile) && resolve(sdl, "SDL_Quit", l.quit) &&
           resolve(mixer, "Mix_Init", l.mixInit) &&
           resolve(mixer, "Mix_OpenAudioDevice", l.openAudioDevice) &&
           resolve(mixer, "Mix_LoadMUS_RW", l.loadMusicRW) &&
           resolve(mixer, "Mix_LoadMUS", l.loadMusic) &&
           resolve(mixer, "Mix_MusicDuration", l.musicDuration) &&
           resolve(mixer, "Mix_PlayMusic", l.playMusic) &&
           resolve(mixer, "Mix_FadeInMusicPos", l.fadeInMusicPos) &&
           resolve(mixer, "Mix_PauseMusic", l.pauseMusic) &&
           resolve(mixer, "Mix_HaltMusic", l.haltMusic) &&
           resolve(mixer, "Mix_FreeMusic", l.freeMusic) &&
           resolve(mixer, "Mix_CloseAudio", l.closeAudio) && resolve(mixer, "Mix_Quit", l.mixQuit);
}

} // namespace

const MixerLibrary* mixerLibrary() {
    // Never torn down: a player's thread still waiting on a sound server
    // when the process ends finds it intact should it wake.
    static MixerLibrary loaded;
    static const bool ok = load(loaded);
    return ok ? &loaded : nullptr;
}
