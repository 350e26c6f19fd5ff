#include "TestTrack.h"

#include "ToneTrack.h"

namespace audiotest {

void writeTwoToneTrack(const testsupport::TempDir& dir, const std::string& name) {
    testsupport::writeTones(dir, name, {{lowTone, toneSeconds}, {highTone, toneSeconds}},
                            deviceRate);
}

} // namespace audiotest
