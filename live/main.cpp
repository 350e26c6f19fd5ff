// vellomirke-live: the shader author's companion to the demo. Its four
// commands have a folder each: the piece in a window (window/), a shader
// from an online shader site made a piece (import/), the piece as one web
// page (web/), the piece looked over (check/, whose checks the others use
// too). This file only picks the command.
#include "ImportCommand.h"
#include "Options.h"
#include "PieceCheck.h"
#include "RunPiece.h"
#include "WebExport.h"

#include <iostream>

int main(int argc, char** argv) {
    Options options = parseOptions(argc, argv);
    switch (options.mode) {
    case Options::Mode::Help:
        std::cout << helpText();
        return 0;
    case Options::Mode::Invalid:
        std::cerr << "vellomirke-live: " << options.error
                  << "\nTry 'vellomirke-live --help' for the options and keys.\n";
        return 2;
    case Options::Mode::Import:
        return importShader(options.importSource, options.dir, options.force);
    case Options::Mode::ExportWeb:
        return exportWeb(options.dir, options.out, options.force);
    case Options::Mode::Check:
        return checkPiece(options);
    case Options::Mode::Run:
        break;
    }
    return runPiece(options);
}
