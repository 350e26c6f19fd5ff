#include "ConformanceRecording.h"

namespace conformance {

const RecordedRun& recordedRun() {
    static const RecordedRun run = loadRecordedRun(CONFORMANCE_RECORDING);
    return run;
}

const RecordedRun& escapedRun() {
    static const RecordedRun run = loadRecordedRun(CONFORMANCE_RECORDING "/escape");
    return run;
}

} // namespace conformance
