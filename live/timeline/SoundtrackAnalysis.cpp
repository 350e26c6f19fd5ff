#include "SoundtrackAnalysis.h"

#include "DemoContract.h"
#include "OnsetEnvelope.h"
#include "TrackSamples.h"
#include "Waveform.h"

#include <filesystem>
#include <memory>
#include <system_error>

SoundtrackView analyseSoundtrack(const std::string& path, int beatsPerBar,
                                 const std::atomic<bool>* stop) {
    SoundtrackView view;
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return view;
    }
    std::unique_ptr<OnsetEnvelope> onsets;
    Waveform waveform;
    const TrackSamples decoded = decodeTrack(
        path, demo::lengthSeconds, [&](const float* samples, std::size_t count, int rate) {
            if (!onsets) {
                onsets = std::make_unique<OnsetEnvelope>(rate);
            }
            onsets->add(samples, count);
            waveform.add(samples, count, rate);
            return stop == nullptr || !*stop;
        });
    if (decoded.result != TrackSamples::Result::Decoded) {
        view.state = SoundtrackView::State::NotDecodable;
        view.problem = decoded.decoder + " cannot decode it" +
                       (decoded.problem.empty() ? "" : " (" + decoded.problem + ")");
        return view;
    }
    view.state = SoundtrackView::State::Decoded;
    view.levels = waveform.levels();
    view.ended = decoded.ended;
    if (onsets) {
        view.tempo = findTempo(onsets->values(), OnsetEnvelope::frameRate, beatsPerBar);
    }
    return view;
}

BackgroundAnalysis::BackgroundAnalysis(const std::string& path, int beatsPerBar,
                                       std::function<void()> ready) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        view_.emplace();
        return;
    }
    try {
        thread_ = std::thread([this, path, beatsPerBar, ready] {
            SoundtrackView view = analyseSoundtrack(path, beatsPerBar, &stop_);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                view_ = std::move(view);
            }
            ready();
        });
    } catch (const std::system_error&) {
        // No thread: the strip shows the time and the marks, as without sound.
        view_.emplace();
    }
}

BackgroundAnalysis::~BackgroundAnalysis() {
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

std::optional<SoundtrackView> BackgroundAnalysis::take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::optional<SoundtrackView> view = std::move(view_);
    view_.reset();
    return view;
}
