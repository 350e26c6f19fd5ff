// The probe through the media-command interface, which opens the track as
// the demo's soundtrack and vellomirke-live's music open theirs, and closes
// it again before anything plays (MediaCommand.h).
#include "TrackProbe.h"

#include "MediaCommand.h"

#include <algorithm>
#include <cstdlib>

TrackProbe probeTrack(const std::string& path) {
    TrackProbe probe;
    probe.player = "the media-command interface";
    // Without a file, a playable track or a device, alike: the interface
    // does not tell them apart.
    if (!openMediaTrack(path, "probe")) {
        probe.result = TrackProbe::Result::NotPlayable;
        return probe;
    }
    probe.result = TrackProbe::Result::Playable;
    mediaCommand("set probe time format milliseconds");
    std::string length;
    if (mediaCommand("status probe length", &length)) {
        probe.seconds = std::max(0.0, std::atof(length.c_str()) / 1000.0);
    }
    mediaCommand("close probe");
    return probe;
}
