// What needs glslang, where it is not built: the Windows program. The page
// and the check are the same from any system, so the author is sent to the
// Linux program for them; a save gets the driver's verdict alone.
#include "PieceCheck.h"
#include "StrictCheck.h"
#include "WebExport.h"

#include <iostream>

int exportWeb(const std::string& dir, const std::string&, bool) {
    std::cerr << "vellomirke-live: --export-web is made by the Linux program; run "
                 "'vellomirke-live --export-web' there on a copy of "
              << dir << '\n';
    return 1;
}

int checkPiece(const std::string& dir) {
    std::cerr << "vellomirke-live: --check is made by the Linux program; run "
                 "'vellomirke-live --check' there on a copy of "
              << dir << '\n';
    return 1;
}

std::vector<std::string> strictCheck(const std::string&, const std::string&) {
    return {};
}
