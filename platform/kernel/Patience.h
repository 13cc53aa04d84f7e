#pragma once
// Calls into file systems that may stop answering while they stay mounted: a network share whose server has gone, a
// FUSE file system whose program hangs. Such a call is made on a thread of its own and waited for while it makes
// progress; one that makes none for kPatience is left to finish whenever it does, and its caller is told the drive
// is not ready. A call into any other file system is simply made.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>

#include "platform/kernel/Volumes.h"

namespace platform::kernel {

// How long a call may go without progress before the window gives up on it.
inline constexpr std::chrono::milliseconds kPatience{1000};

// A wait this long is one the user notices: the watcher below is told.
inline constexpr std::chrono::milliseconds kNoticeableWait{150};

// Told, on the waiting thread, when a wait for a file system has become noticeable (true) and when it ends (false):
// the window system shows the busy cursor meanwhile. One watcher; null for none.
void WatchLongWaits(void (*watcher)(bool waiting));

// What a patient call shares with the thread that makes it.
class Errand {
  public:
    virtual ~Errand() = default;
    // Made on the errand's own thread; calls Progressed() as it goes.
    virtual void Run() = 0;

    // Counts a step: an errand that keeps counting is still moving.
    void Progressed() { progress_.fetch_add(1); }
    // Wakes the waiter to look at what it waits for again.
    void Notify();
    // Waits until `done` holds, as long as the errand keeps moving; false when it made no step for kPatience
    // first. The errand notifies whenever `done` may have come to hold.
    bool WaitFor(const std::function<bool()>& done);
    // Whether nobody waits for the errand any more: a long one may stop early.
    bool Abandoned() const { return abandoned_.load(); }
    void Abandon() { abandoned_.store(true); }

  private:
    std::mutex mutex_;
    std::condition_variable moved_;
    std::atomic<uint64_t> progress_{0};
    std::atomic<bool> waiting_{false};
    std::atomic<bool> abandoned_{false};
};

// Runs the errand on a thread of its own; it lives as long as that thread or its other holders do. False when no
// thread could be started, or when too many errands are stuck in file systems that no longer answer.
bool Dispatch(std::shared_ptr<Errand> errand);

// What `ask` answers for a path: asked at once on a reliable file system, on a thread of its own on one that may
// stop answering. Nothing when it stalled (the caller reports ERROR_NOT_READY). `ask` may outlive the call, so it
// holds what it uses by value.
template <typename Result>
std::optional<Result> AskPatiently(std::string_view posixPath, std::function<Result()> ask) {
    if (!OnUnreliableFileSystem(posixPath)) return ask();
    struct Question final : Errand {
        explicit Question(std::function<Result()> question) : ask(std::move(question)) {}
        void Run() override {
            Result found = ask();
            {
                std::lock_guard lock(mutex);
                answer = std::move(found);
            }
            answered.store(true);
            Notify();
        }
        std::function<Result()> ask;
        std::mutex mutex;
        std::optional<Result> answer;
        std::atomic<bool> answered{false};
    };
    auto question = std::make_shared<Question>(std::move(ask));
    if (!Dispatch(question)) return std::nullopt;
    if (!question->WaitFor([&question] { return question->answered.load(); })) {
        question->Abandon();
        return std::nullopt;
    }
    std::lock_guard lock(question->mutex);
    return std::move(question->answer);
}

}  // namespace platform::kernel
