// The music's thread, the same on every platform: it opens the track, which
// may take long, and then plays it from wherever the frame loop last asked,
// so that the frame loop never waits on the sound. Every change of place is
// a fresh play from the position, rather than a resume: a paused, moved or
// ended track all come out playing from the right place.
#include "Music.h"

#include "MusicTrack.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The track's end as the piece's clock tells it may come a little before the
// device has played the last of it.
constexpr double endSlack = 0.05; // seconds

// Where the piece's `time` falls in a track of `duration` seconds: the demo
// loops a track shorter than the piece, so 12.5 s of the piece is 2.5 s into
// a 10 s track's second round.
double loopPosition(double time, double duration) {
    return duration > 0.0 ? std::fmod(time, duration) : time;
}

} // namespace

struct Music::Player {
    // What the frame loop last asked for: the piece's time `time` at `at`.
    struct Wanted {
        double time;
        bool paused;
        Clock::time_point at;
    };

    void run(const std::string& path);
    void play(MusicTrack& track);

    std::mutex mutex;
    std::condition_variable changed;
    std::optional<Wanted> wanted;
    bool fresh = false;  // `wanted` changed since the thread last acted on it
    bool opening = true; // the thread is still in openMusicTrack
    bool ending = false; // the piece is closing
    bool left = false;   // ending while opening: the process ends without it
    std::thread thread;
};

void Music::Player::run(const std::string& path) {
    std::unique_ptr<MusicTrack> track = openMusicTrack(path);
    {
        std::lock_guard<std::mutex> lock(mutex);
        opening = false;
        if (left) {
            // The piece closed while this thread was opening, and the process
            // is ending: closing the device now would race with its exit.
            (void)track.release();
            return;
        }
    }
    if (track) {
        play(*track);
    }
}

void Music::Player::play(MusicTrack& track) {
    const double duration = track.duration();
    const bool restartAtEnd = !track.loopsByItself() && duration > 0.0;
    std::unique_lock<std::mutex> lock(mutex);
    bool playing = false;
    Clock::time_point trackEnds; // while playing: when its end is heard
    for (;;) {
        const auto asked = [&] { return ending || fresh; };
        if (playing) {
            changed.wait_until(lock, trackEnds, asked);
        } else {
            changed.wait(lock, asked);
        }
        if (ending) {
            return;
        }
        // Asked for a change, or the track has come to its end while the
        // piece's time runs on: either way, play from where it is now.
        const bool atTheEnd = !fresh;
        fresh = false;
        const Wanted now = *wanted;
        lock.unlock();
        playing = false;
        if (now.paused) {
            track.pause();
        } else {
            // Where the piece is by now: the frame loop may have asked while
            // the track was still opening.
            const double since = std::chrono::duration<double>(Clock::now() - now.at).count();
            double position = loopPosition(now.time + since, duration);
            if (atTheEnd && duration - position < endSlack) {
                position = 0.0; // a hair before the end by the piece's clock
            }
            track.playFrom(position);
            playing = restartAtEnd;
            if (playing) {
                trackEnds = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double>(duration - position));
            }
        }
        lock.lock();
    }
}

Music::Music(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return; // no music: nothing to load, no device to open
    }
    auto player = std::make_shared<Player>();
    try {
        // The thread holds the player too, in case it is left (~Music).
        player->thread = std::thread([player, path] { player->run(path); });
    } catch (const std::system_error&) {
        return; // no thread, no sound; the piece runs on silently
    }
    player_ = std::move(player);
}

Music::~Music() {
    if (!player_) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(player_->mutex);
        player_->ending = true;
        player_->left = player_->opening && musicOpeningMayBeLeft;
    }
    player_->changed.notify_one();
    if (player_->left) {
        player_->thread.detach();
    } else {
        player_->thread.join();
    }
}

void Music::follow(double time, bool paused) {
    if (!player_) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(player_->mutex);
        player_->wanted = Player::Wanted{time, paused, Clock::now()};
        player_->fresh = true;
    }
    player_->changed.notify_one();
}
