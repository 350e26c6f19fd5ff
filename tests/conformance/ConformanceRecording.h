#pragma once

#include "RecordedRun.h"

namespace conformance {

// The recordings that conformance_record made: the whole run, ended by time,
// and the short one on a 1280x720 screen, ended by Escape.
const RecordedRun& recordedRun();
const RecordedRun& escapedRun();

} // namespace conformance
