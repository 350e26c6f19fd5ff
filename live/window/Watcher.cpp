#include "Watcher.h"

#include "WatcherChanges.h"

#include <algorithm>
#include <optional>

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
