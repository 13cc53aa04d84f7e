#include "platform/mci/Mixer.h"

#include <algorithm>
#include <cstring>

namespace platform::mci {

Mixer::Mixer(size_t leadFrames, size_t maxPull) : lead_(leadFrames) {
    size_t capacity = 1;
    while (capacity < leadFrames + maxPull) capacity <<= 1;
    mask_ = capacity - 1;
    fifo_.resize(capacity * 2);
    scratch_.resize((leadFrames + maxPull) * 2);
}

bool Mixer::Attach(Stream* stream) {
    for (auto& slot : slots_) {
        Stream* empty = nullptr;
        if (slot.compare_exchange_strong(empty, stream)) return true;
    }
    return false;
}

void Mixer::Detach(Stream* stream) {
    for (auto& slot : slots_) {
        Stream* present = stream;
        if (slot.compare_exchange_strong(present, nullptr)) return;
    }
}

bool Mixer::Idle(uint64_t silentFrames) const {
    if (SilentFrames() < silentFrames || Buffered() != 0) return false;
    for (const auto& slot : slots_)
        if (Stream* stream = slot.load(std::memory_order_acquire); stream && stream->Active()) return false;
    return true;
}

size_t Mixer::MixStreams(size_t frames, bool mayDecode) {
    std::fill_n(scratch_.begin(), frames * 2, 0.0f);
    size_t longest = 0;
    bool ended = false, refill = false;
    for (auto& slot : slots_) {
        Stream* stream = slot.load(std::memory_order_acquire);
        if (!stream || !stream->Active()) continue;
        if (mayDecode) stream->FillTo(frames);
        longest = std::max(longest, stream->MixInto(scratch_.data(), frames));
        ended = ended || !stream->Active();
        refill = refill || stream->WantsRefill();
    }
    // A stream that ends here leaves the rest unmixed, so that whatever plays next follows right after it.
    for (size_t i = 0; i < longest; ++i) {
        const size_t at = ((fifoRead_ + fifoSize_ + i) & mask_) * 2;
        fifo_[at] = scratch_[i * 2];
        fifo_[at + 1] = scratch_[i * 2 + 1];
    }
    fifoSize_ += longest;
    if ((ended || refill) && OnStreamsTaken) OnStreamsTaken();
    return longest;
}

void Mixer::Pull(float* out, size_t frames, bool mayDecode) {
    if (fifoSize_ < frames + lead_) MixStreams(frames + lead_ - fifoSize_, mayDecode);
    const size_t take = std::min(frames, fifoSize_);
    for (size_t i = 0; i < take; ++i) {
        const size_t at = ((fifoRead_ + i) & mask_) * 2;
        out[i * 2] = fifo_[at];
        out[i * 2 + 1] = fifo_[at + 1];
    }
    std::memset(out + take * 2, 0, (frames - take) * 2 * sizeof(float));
    fifoRead_ = (fifoRead_ + take) & mask_;
    fifoSize_ -= take;
    buffered_.store(fifoSize_, std::memory_order_relaxed);
    if (take == 0) silent_.fetch_add(frames, std::memory_order_relaxed);
    else silent_.store(0, std::memory_order_relaxed);
}

}  // namespace platform::mci
