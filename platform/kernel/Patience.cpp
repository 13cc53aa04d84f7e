#include "platform/kernel/Patience.h"

#include <thread>

namespace platform::kernel {
namespace {

// Threads still held in a file system that stopped answering: past this many, nothing more is sent there.
constexpr int kMostStuck = 16;
std::atomic<int> running{0};
std::atomic<void (*)(bool)> longWaitWatcher{nullptr};

// Tells the watcher of a wait that went on past kNoticeableWait, and of its end.
class NoticedWait {
  public:
    NoticedWait() = default;
    NoticedWait(const NoticedWait&) = delete;
    NoticedWait& operator=(const NoticedWait&) = delete;
    ~NoticedWait() {
        if (told_) told_(false);
    }
    void Noticed() {
        if (told_ || !(told_ = longWaitWatcher.load())) return;
        told_(true);
    }

  private:
    void (*told_)(bool) = nullptr;
};

}  // namespace

void Errand::Notify() {
    if (!waiting_.load()) return;
    std::lock_guard lock(mutex_);
    moved_.notify_all();
}

void WatchLongWaits(void (*watcher)(bool waiting)) { longWaitWatcher.store(watcher); }

bool Errand::WaitFor(const std::function<bool()>& done) {
    uint64_t seen = progress_.load();
    NoticedWait noticed;
    auto waited = std::chrono::milliseconds(0);
    while (!done()) {
        std::unique_lock lock(mutex_);
        waiting_.store(true);
        // `done` is asked again once the waiter is known: a notice given in between found nobody waiting. The first
        // part of a wait is short, so that one the user will notice is told of while it lasts.
        const auto part = waited < kNoticeableWait ? kNoticeableWait : kPatience;
        const bool held = moved_.wait_for(lock, part, done);
        waiting_.store(false);
        if (held) return true;
        lock.unlock();
        waited += part;
        noticed.Noticed();
        if (part < kPatience) continue;
        const uint64_t now = progress_.load();
        if (now == seen) return false;
        seen = now;
    }
    return true;
}

bool Dispatch(std::shared_ptr<Errand> errand) {
    if (running.load() >= kMostStuck) return false;
    try {
        running.fetch_add(1);
        std::thread([errand] {
            errand->Run();
            running.fetch_sub(1);
        }).detach();
        return true;
    } catch (const std::system_error&) {
        running.fetch_sub(1);
        return false;
    }
}

}  // namespace platform::kernel
