#pragma once

#include "Watcher.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

// The system's change notification for the watched folder: inotify on Linux
// (WatcherChanges_inotify.cpp), ReadDirectoryChangesW on Windows
// (WatcherChanges_win32.cpp). Only the watcher's thread waits on it; `stop`
// may be called from any other.
class Watcher::Changes {
  public:
    enum class Seen { ShaderChanged, Nothing, Stopped };

    explicit Changes(const std::string& dir);
    ~Changes();
    Changes(const Changes&) = delete;
    Changes& operator=(const Changes&) = delete;

    bool ok() const;

    // Waits up to `timeout` (forever without one) for changes in the folder,
    // and says whether one concerned a shader file. Nothing: the time ran
    // out, or only other files changed.
    Seen wait(std::optional<std::chrono::nanoseconds> timeout);

    // Ends a wait in progress, and every later one, with Stopped.
    void stop();

  private:
    struct System; // the platform's handles
    std::unique_ptr<System> system_;
};
