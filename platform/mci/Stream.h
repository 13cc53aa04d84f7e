#pragma once
// One open file on its way to the output: its decoder, a resampler when its rate is not the output's, and a ring
// that the decoding side keeps about a quarter of a second ahead. The mixer takes frames from the ring without
// locking; a device's position is what the mixer has taken, so it counts frames handed to the output.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/mci/decoders/Decoder.h"
#include "platform/mci/Resampler.h"
#include "platform/mci/StereoRing.h"

namespace platform::mci {

class Stream {
  public:
    Stream(std::unique_ptr<Decoder> decoder, int outputRate);

    const AudioFormat& Format() const { return format_; }

    // ---- the decoding side: the worker, or an output that may decode while it pulls --------------------------
    // One step of decoding while the ring is below its target; false when there was nothing to do.
    bool Produce();
    // Decodes until this many frames wait in the ring or the data is all there.
    void FillTo(size_t frames);

    // ---- control, from the MCI side, while the mixer leaves the stream alone (see SoundEngine::Halt) ----------
    // Plays from `start` up to `end` next (source frames); discards what was decoded ahead.
    void Restart(int64_t start, int64_t end);
    void SetActive(bool active);
    bool Active() const { return active_.load(std::memory_order_acquire); }
    // Source frames handed to the output; exactly End() once everything has been.
    int64_t Position() const;
    int64_t End() const { return end_.load(); }
    // The file's length, cut back to where its data really ended once decoding got there.
    int64_t Length() const { return length_.load(); }
    // True once after the mixer has taken the last frame.
    bool TakeEnded() { return ended_.exchange(false); }
    bool EndPending() const { return ended_.load(); }
    // Output frames still to be handed over, as near as the rates allow.
    int64_t RemainingOutputFrames() const;

    // ---- the mixer -----------------------------------------------------------------------------------------
    // Adds up to `frames` frames onto `dest`; returns how many there were.
    size_t MixInto(float* dest, size_t frames);
    // Less than half the decoding target waits in the ring: time to wake the decoding side.
    bool WantsRefill() const { return !done_.load(std::memory_order_relaxed) && ring_.Size() < target_ / 2; }

  private:
    bool Step();  // under decodeMutex_

    std::mutex decodeMutex_;
    std::unique_ptr<Decoder> decoder_;
    AudioFormat format_;
    int outputRate_;
    std::unique_ptr<Resampler> resampler_;
    StereoRing ring_;
    size_t target_;
    std::vector<float> raw_, pending_, resampled_;
    size_t pendingOffset_ = 0, pendingCount_ = 0;
    bool flushing_ = false;
    int64_t inputPosition_ = 0;
    int64_t start_ = 0;

    std::atomic<int64_t> end_;
    std::atomic<int64_t> length_;
    std::atomic<uint64_t> consumed_{0};
    std::atomic<bool> done_{false};     // every frame up to end_ is in the ring
    std::atomic<bool> drained_{false};  // and the mixer has taken them all
    std::atomic<bool> ended_{false};
    std::atomic<bool> active_{false};
};

}  // namespace platform::mci
