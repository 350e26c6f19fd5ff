#include "Watcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

namespace {

bool isShaderFile(const char* name) {
    return std::strcmp(name, "vertex.glsl") == 0 || std::strcmp(name, "fragment.glsl") == 0;
}

// Close-after-write covers saves in place; moved-to covers a finished file
// renamed over the old one; create and modify cover editors that keep the
// file open while writing in several goes, and delete a file that went away.
constexpr uint32_t watchedEvents =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_MODIFY | IN_DELETE | IN_MOVED_FROM | IN_ATTRIB;

} // namespace

Watcher::Watcher(const std::string& dir) {
    fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd_ >= 0 && inotify_add_watch(fd_, dir.c_str(), watchedEvents) < 0) {
        close(fd_);
        fd_ = -1;
    }
}

Watcher::~Watcher() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool Watcher::saved(Clock::time_point now) {
    if (fd_ < 0) {
        return false;
    }
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got <= 0) {
            break; // EAGAIN: nothing more for now
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            // A full queue lost events: one of them may have been a save.
            if ((event->mask & IN_Q_OVERFLOW) != 0 ||
                (event->len > 0 && isShaderFile(event->name))) {
                pending_ = true;
                lastChange_ = now;
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (pending_ && now - lastChange_ >= settle) {
        pending_ = false;
        return true;
    }
    return false;
}
