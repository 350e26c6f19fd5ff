#pragma once

#include "EsTranslation.h"
#include "Finding.h"

#include <optional>
#include <string>

// A stage's text as a web page takes it, translated to GLSL ES 3.00
// (EsTranslation.h); or nothing, with why in `findings` as an error: a NUL
// byte, which a browser refuses (the GL reads up to it); text that is not
// UTF-8, which a page must be; no #version line to translate.
std::optional<EsStage> pageStage(const std::string& fileName, const std::string& source,
                                 Findings& findings);

// What would stop the page that --export-web writes, where the piece builds
// as GLSL 3.30: each stage as the page takes it, then the pair built as GLSL
// ES 3.00. The page is optional, so each is a warning, named as the page's;
// none where the page would build.
Findings pageWarnings(const std::string& vertex, const std::string& fragment);
