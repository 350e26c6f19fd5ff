// The piece's soundtrack through the Windows media-command interface, as the
// demo plays its own. A device opened with media commands answers only the
// thread that opened it, and opening can take seconds (the first ever run of
// Wine's player builds its codec list), so one thread of the player's own
// sends every command, and the frame loop only leaves it the piece's time.
//
// The interface has no seek that works everywhere (Wine's player answers
// "seek" with an error) and its "repeat" loops back to where the play began,
// so every change of place is a "play ... from", and the player starts the
// track again itself where it ends.
#include "Music.h"

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

// The track's end as the piece's clock tells it may come a little before the
// device has played the last of it.
constexpr double endSlack = 0.05; // seconds

bool command(const std::string& text, std::string* result = nullptr) {
    char answer[128] = "";
    const MCIERROR failed = mciSendStringA(text.c_str(), answer, sizeof answer, nullptr);
    if (result != nullptr) {
        *result = answer;
    }
    return failed == 0;
}

} // namespace

struct Music::Player {
    // What the frame loop last asked for: the piece's time `time` at `at`.
    struct Wanted {
        double time;
        bool paused;
        Clock::time_point at;
    };

    explicit Player(std::string path) : thread(&Player::play, this, std::move(path)) {}

    ~Player() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            ending = true;
        }
        changed.notify_one();
        thread.join();
    }

    void play(std::string path) {
        for (char& c : path) {
            if (c == '/') {
                c = '\\';
            }
        }
        // Chosen by content, as the demo does, so a WAV file saved as
        // audio.mp3 plays the same in both.
        if (!command("open \"" + path + "\" type mpegvideo alias music")) {
            return; // no file, not audio, or no device: silent
        }
        command("set music time format milliseconds");
        std::string length;
        const double duration =
            command("status music length", &length) ? std::atof(length.c_str()) / 1000.0 : 0.0;

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
                break;
            }
            // Asked for a change, or the track has come to its end while the
            // piece's time runs on: either way, play from where it is now.
            const bool atTheEnd = !fresh;
            fresh = false;
            const Wanted now = *wanted;
            lock.unlock();
            playing = false;
            if (now.paused) {
                command("pause music");
            } else {
                // Where the piece is by now: the frame loop may have asked
                // while the device was still opening.
                const double since = std::chrono::duration<double>(Clock::now() - now.at).count();
                const double time = now.time + since;
                // The demo loops a track shorter than the piece, so 12.5 s of
                // the piece is 2.5 s into a 10 s track's second round.
                double position = duration > 0.0 ? std::fmod(time, duration) : time;
                if (atTheEnd && duration - position < endSlack) {
                    position = 0.0; // a hair before the end by the piece's clock
                }
                command("play music from " +
                        std::to_string(static_cast<long long>(position * 1000.0)));
                playing = duration > 0.0;
                if (playing) {
                    trackEnds =
                        Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                           std::chrono::duration<double>(duration - position));
                }
            }
            lock.lock();
        }
        lock.unlock();
        // Left open, the device would be torn down by the process's exit
        // after the player's own threads were cut off; Wine's player then
        // faults and the process ends with a crash instead of its status.
        command("close music");
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::optional<Wanted> wanted;
    bool fresh = false; // `wanted` changed since the player last acted on it
    bool ending = false;
    std::thread thread; // last: starts once everything above is there
};

Music::Music(const std::string& path) : player_(std::make_unique<Player>(path)) {}

Music::~Music() = default;

void Music::follow(double time, bool paused) {
    {
        std::lock_guard<std::mutex> lock(player_->mutex);
        player_->wanted = Player::Wanted{time, paused, Clock::now()};
        player_->fresh = true;
    }
    player_->changed.notify_one();
}
