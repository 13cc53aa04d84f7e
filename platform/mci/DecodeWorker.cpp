#include "platform/mci/DecodeWorker.h"

#include <algorithm>
#include <chrono>

namespace platform::mci {

DecodeWorker::DecodeWorker(std::function<NextRound()> afterRound) : afterRound_(std::move(afterRound)) {
    thread_ = std::thread([this] { Run(); });
}

DecodeWorker::~DecodeWorker() { Stop(); }

void DecodeWorker::Stop() {
    quit_ = true;
    Wake();
    if (thread_.joinable()) thread_.join();
}

void DecodeWorker::Add(std::shared_ptr<Stream> stream) {
    {
        std::lock_guard lock(mutex_);
        streams_.push_back(std::move(stream));
    }
    Wake();
}

void DecodeWorker::Remove(const Stream* stream) {
    std::unique_lock lock(mutex_);
    auto same = [&](const auto& present) { return present.get() == stream; };
    std::erase_if(streams_, same);
    roundEnded_.wait(lock, [&] { return std::none_of(round_.begin(), round_.end(), same); });
}

void DecodeWorker::Run() {
    while (!quit_) {
        {
            std::lock_guard lock(mutex_);
            round_ = streams_;
        }
        // Read without the lock: only this thread changes the round.
        for (auto& stream : round_)
            while (!quit_ && stream->Produce()) {
            }
        {
            // A stream removed meanwhile may be destroyed here, with its remover still waiting for the lock.
            std::lock_guard lock(mutex_);
            round_.clear();
        }
        roundEnded_.notify_all();
        const NextRound next = afterRound_ ? afterRound_() : NextRound::Later;
        // The timeout is only a safety net: the mixer wakes us whenever it has taken frames.
        if (next == NextRound::WhenWoken) wake_.acquire();
        else if (!wake_.try_acquire_for(next == NextRound::Soon ? std::chrono::milliseconds(5)
                                                                : std::chrono::milliseconds(200)))
            continue;
        wakePending_ = false;
    }
}

}  // namespace platform::mci
