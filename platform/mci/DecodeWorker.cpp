#include "platform/mci/DecodeWorker.h"

#include <algorithm>
#include <chrono>

namespace platform::mci {

DecodeWorker::DecodeWorker(std::function<bool()> afterRound) : afterRound_(std::move(afterRound)) {
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
    std::lock_guard lock(mutex_);
    std::erase_if(streams_, [&](const auto& present) { return present.get() == stream; });
}

void DecodeWorker::Run() {
    std::vector<std::shared_ptr<Stream>> round;
    while (!quit_) {
        {
            std::lock_guard lock(mutex_);
            round = streams_;
        }
        for (auto& stream : round)
            while (!quit_ && stream->Produce()) {
            }
        round.clear();
        const bool again = afterRound_ && afterRound_();
        // The timeout is only a safety net: the mixer wakes us whenever it has taken frames.
        if (wake_.try_acquire_for(again ? std::chrono::milliseconds(5) : std::chrono::milliseconds(200)))
            wakePending_ = false;
    }
}

}  // namespace platform::mci
