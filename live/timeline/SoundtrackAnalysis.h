#pragma once

#include "TempoSearch.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// What the timeline shows of a piece's soundtrack: its loudness over the
// piece's span and its tempo, from the part of it that the piece plays.
struct SoundtrackView {
    enum class State { None, NotDecodable, Decoded };
    State state = State::None;
    std::string problem;              // for NotDecodable: why, in words
    std::vector<std::uint8_t> levels; // Waveform.h's, from the track's start
    bool ended = false;               // the track is shorter than the piece
    std::optional<Tempo> tempo;       // none: no steady beat
};

// Decodes and analyses `path`, the first `demo::lengthSeconds` of it (all
// that a piece ever plays, however long the file), looking for bars of
// `beatsPerBar`. Takes a few tenths of a second; `stop` ends it early.
SoundtrackView analyseSoundtrack(const std::string& path, int beatsPerBar,
                                 const std::atomic<bool>* stop = nullptr);

// The same, on a thread of its own, so that the frame loop never waits on
// it; `ready` is called from that thread once the view can be taken. A
// missing file needs no thread.
class BackgroundAnalysis {
  public:
    BackgroundAnalysis(const std::string& path, int beatsPerBar, std::function<void()> ready);
    ~BackgroundAnalysis(); // stops the analysis and waits for its thread
    BackgroundAnalysis(const BackgroundAnalysis&) = delete;
    BackgroundAnalysis& operator=(const BackgroundAnalysis&) = delete;

    // The view, once, when it is ready.
    std::optional<SoundtrackView> take();

  private:
    std::mutex mutex_;
    std::optional<SoundtrackView> view_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
