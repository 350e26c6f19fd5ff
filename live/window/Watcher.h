#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

// Watches a piece's folder for saves of vertex.glsl and fragment.glsl, in
// whatever way an editor saves: writing in place, renaming a new file into
// place, or several writes in a row. A save counts once it has been quiet
// for a short while, so one save gives one rebuild, however many events it
// made.
//
// The watching runs on a thread of its own, which calls `wake` once a save
// has settled: a frame loop that sleeps while its picture stands still can
// then look at `saved` at once instead of asking on a timer.
class Watcher {
  public:
    static constexpr std::chrono::milliseconds settle{50};

    // Without a watch (a full inotify table, say) the folder is not watched
    // and `saved` never reports; Space still rebuilds. `wake` must be safe to
    // call from another thread until the watcher is gone.
    Watcher(const std::string& dir, std::function<void()> wake);
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    bool watching() const { return thread_.joinable(); }

    // True once per settled save since the last call; never waits.
    bool saved() { return saved_.exchange(false); }

  private:
    // The system's change notification for the folder.
    class Changes;

    void watch();

    std::unique_ptr<Changes> changes_;
    std::function<void()> wake_;
    std::atomic<bool> saved_{false};
    std::thread thread_;
};
