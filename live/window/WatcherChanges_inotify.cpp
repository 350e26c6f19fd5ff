// The watcher's change notification on Linux: inotify on the folder, and an
// eventfd that ends the wait when the watcher goes away.
#include "WatcherChanges.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

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

struct Watcher::Changes::System {
    int watch = -1;
    int stop = -1;
    bool ok = false;

    // Reads all events there are; whether one concerned a shader file.
    bool readShaderChange() {
        bool changed = false;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            ssize_t got = read(watch, buffer, sizeof buffer);
            if (got <= 0) {
                break; // EAGAIN: nothing more for now
            }
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                // A full queue lost events: one of them may have been a save.
                if ((event->mask & IN_Q_OVERFLOW) != 0 ||
                    (event->len > 0 && isShaderFile(event->name))) {
                    changed = true;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        return changed;
    }
};

Watcher::Changes::Changes(const std::string& dir) : system_(std::make_unique<System>()) {
    system_->watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    system_->stop = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (system_->watch >= 0 && system_->stop >= 0 &&
        inotify_add_watch(system_->watch, dir.c_str(), watchedEvents) >= 0) {
        system_->ok = true;
    }
}

Watcher::Changes::~Changes() {
    for (int fd : {system_->watch, system_->stop}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

bool Watcher::Changes::ok() const {
    return system_->ok;
}

Watcher::Changes::Seen Watcher::Changes::wait(std::optional<std::chrono::nanoseconds> timeout) {
    pollfd fds[2] = {{system_->watch, POLLIN, 0}, {system_->stop, POLLIN, 0}};
    timespec limit{};
    if (timeout) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(*timeout);
        limit.tv_sec = static_cast<time_t>(seconds.count());
        limit.tv_nsec = static_cast<long>((*timeout - seconds).count());
    }
    int ready = ppoll(fds, 2, timeout ? &limit : nullptr, nullptr);
    if (ready < 0) {
        return errno == EINTR ? Seen::Nothing : Seen::Stopped;
    }
    if (fds[1].revents != 0 || (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
        return Seen::Stopped;
    }
    return (fds[0].revents & POLLIN) != 0 && system_->readShaderChange() ? Seen::ShaderChanged
                                                                         : Seen::Nothing;
}

void Watcher::Changes::stop() {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t written = write(system_->stop, &one, sizeof one);
}
