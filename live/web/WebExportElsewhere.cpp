// --export-web where the GLSL ES checker it needs (glslang) is not built: the
// Windows program. The page is the same from any system, so the author is
// sent to the Linux program.
#include "WebExport.h"

#include <iostream>

int exportWeb(const std::string& dir, const std::string&, bool) {
    std::cerr << "vellomirke-live: --export-web is made by the Linux program; run "
                 "'vellomirke-live --export-web' there on a copy of "
              << dir << '\n';
    return 1;
}
