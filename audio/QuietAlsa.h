#pragma once

// On a machine without a sound card SDL's ALSA fallback makes libasound print
// a screenful of errors to standard error. libasound lets its error output be
// replaced; SDL loads the library at run time, so this installs a silent
// handler in that same library before SDL gets to it. The library stays
// loaded for SDL, which opens the same handle later. Without libasound there
// is nothing to quieten.
void quietenAlsa();
