#include "Watcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <optional>

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

// inotify on the folder, and an eventfd that ends the wait when the watcher
// goes away.
class Watcher::Changes {
  public:
    enum class Seen { ShaderChanged, Nothing, Stopped };

    explicit Changes(const std::string& dir) {
        watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        stop_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (watch_ >= 0 && stop_ >= 0 &&
            inotify_add_watch(watch_, dir.c_str(), watchedEvents) >= 0) {
            ok_ = true;
        }
    }

    ~Changes() {
        for (int fd : {watch_, stop_}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }

    bool ok() const { return ok_; }

    // Waits up to `timeout` (forever without one) for changes in the folder,
    // and says whether one concerned a shader file. Nothing: the time ran
    // out, or only other files changed.
    Seen wait(std::optional<std::chrono::nanoseconds> timeout) {
        pollfd fds[2] = {{watch_, POLLIN, 0}, {stop_, POLLIN, 0}};
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
        return (fds[0].revents & POLLIN) != 0 && readShaderChange() ? Seen::ShaderChanged
                                                                    : Seen::Nothing;
    }

    void stop() {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(stop_, &one, sizeof one);
    }

  private:
    bool readShaderChange() {
        bool changed = false;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            ssize_t got = read(watch_, buffer, sizeof buffer);
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

    int watch_ = -1;
    int stop_ = -1;
    bool ok_ = false;
};

Watcher::Watcher(const std::string& dir, std::function<void()> wake)
    : changes_(std::make_unique<Changes>(dir)), wake_(std::move(wake)) {
    if (changes_->ok()) {
        thread_ = std::thread(&Watcher::watch, this);
    }
}

Watcher::~Watcher() {
    if (thread_.joinable()) {
        changes_->stop();
        thread_.join();
    }
}

void Watcher::watch() {
    using Clock = std::chrono::steady_clock;
    std::optional<Clock::time_point> quietAt; // when the latest change has settled
    for (;;) {
        std::optional<std::chrono::nanoseconds> timeout;
        if (quietAt) {
            timeout = std::max<std::chrono::nanoseconds>(*quietAt - Clock::now(),
                                                         std::chrono::nanoseconds::zero());
        }
        switch (changes_->wait(timeout)) {
        case Changes::Seen::Stopped:
            return;
        case Changes::Seen::ShaderChanged:
            quietAt = Clock::now() + settle;
            break;
        case Changes::Seen::Nothing:
            if (quietAt && Clock::now() >= *quietAt) {
                quietAt.reset();
                saved_ = true;
                wake_();
            }
            break;
        }
    }
}
