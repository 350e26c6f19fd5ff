#pragma once

#include "EsTranslation.h"

#include <string>

// The command `--export-web DIR [--out FILE] [--force]`: one HTML file that
// plays the piece in DIR in a browser as the demo plays it, with its shaders
// (translated to GLSL ES 3.00 and checked) and audio.mp3 inside. Writes to
// `out`, default DIR/<folder name>.html, never over a file that exists unless
// `force`. Returns the exit status; messages go to standard error.
int exportWeb(const std::string& dir, const std::string& out, bool force);

// The page for a piece whose stages and soundtrack are given (`mp3` empty:
// none), the player's template filled in; `title` is plain text.
std::string webPage(const std::string& title, const EsStage& vertex, const EsStage& fragment,
                    const std::string& mp3);
