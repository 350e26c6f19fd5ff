// vellomirke-aac-fill BITS-PER-SECOND IN OUT: the capture's ADTS soundtrack
// IN written to OUT with every frame filled up to the bit rate given, for
// video rules that set a floor under the sound's bit rate. A private program
// of vellomirke-capture's.
#include "AdtsFill.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: vellomirke-aac-fill BITS-PER-SECOND IN.aac OUT.aac\n";
        return 2;
    }
    char* end = nullptr;
    errno = 0;
    const long bitRate = std::strtol(argv[1], &end, 10);
    if (errno != 0 || end == argv[1] || *end != '\0' || bitRate < 8000 || bitRate > 1000000) {
        std::cerr << "vellomirke-aac-fill: the bit rate must be 8000 to 1000000, not '" << argv[1]
                  << "'\n";
        return 2;
    }
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::cerr << "vellomirke-aac-fill: cannot read " << argv[2] << ": " << std::strerror(errno)
                  << "\n";
        return 1;
    }
    std::ostringstream frames;
    frames << in.rdbuf();
    try {
        const std::string filled = fillAdtsToBitRate(frames.str(), bitRate);
        std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
        out.write(filled.data(), static_cast<std::streamsize>(filled.size()));
        out.close();
        if (!out) {
            std::cerr << "vellomirke-aac-fill: cannot write " << argv[3] << "\n";
            return 1;
        }
    } catch (const std::runtime_error& refusal) {
        std::cerr << "vellomirke-aac-fill: " << argv[2] << ": " << refusal.what() << "\n";
        return 1;
    }
    return 0;
}
