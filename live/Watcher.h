#pragma once

#include <chrono>
#include <string>

// Watches a piece's folder for saves of vertex.glsl and fragment.glsl, in
// whatever way an editor saves: writing in place, renaming a new file into
// place, or several writes in a row. A save counts once it has been quiet
// for a short while, so one save gives one rebuild, however many events it
// made.
class Watcher {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds settle{50};

    // Without inotify (a full watch table, say) the folder is not watched and
    // `saved` never reports; Space still rebuilds.
    explicit Watcher(const std::string& dir);
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    bool watching() const { return fd_ >= 0; }

    // Reads what happened since the last call, without waiting. True once
    // per save, when the shader files have been left alone for `settle`.
    bool saved(Clock::time_point now = Clock::now());

  private:
    int fd_ = -1;
    bool pending_ = false;
    Clock::time_point lastChange_{};
};
