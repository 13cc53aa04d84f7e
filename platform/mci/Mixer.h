#pragma once
// Sums the playing streams into the one output stream. It mixes a little ahead of what the output has taken (the
// lead), so that a device's position reaches its length while its last frames are still queued: the next file,
// opened and played at that moment, is appended to them without a gap. Pulls neither lock nor allocate unless
// the output allows them to decode.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/mci/Stream.h"

namespace platform::mci {

class Mixer {
  public:
    static constexpr size_t kMaxStreams = 64;

    // `maxPull` is the most frames one Pull asks for.
    Mixer(size_t leadFrames, size_t maxPull);

    // Control side. A detached stream may still be read by a pull under way: wait for the output's barrier.
    bool Attach(Stream* stream);
    void Detach(Stream* stream);

    // The output takes the next `frames` frames. With `mayDecode` a stream short of frames is decoded on the spot
    // (for outputs that follow the clock, whose pulls must not depend on the worker's timing).
    void Pull(float* out, size_t frames, bool mayDecode);

    size_t LeadFrames() const { return lead_; }
    // Frames mixed but not yet pulled.
    size_t Buffered() const { return buffered_.load(std::memory_order_relaxed); }
    // Frames pulled since anything but silence came out.
    uint64_t SilentFrames() const { return silent_.load(std::memory_order_relaxed); }

    // Nothing plays, nothing is queued, and the output has pulled at least this much silence.
    bool Idle(uint64_t silentFrames) const;

    // Called from the pull when a stream ran low or ended, so that the decoding side refills it and the MCI side
    // notes the end; must neither lock nor allocate.
    std::function<void()> OnStreamsTaken;

  private:
    size_t MixStreams(size_t frames, bool mayDecode);

    std::array<std::atomic<Stream*>, kMaxStreams> slots_{};
    size_t lead_;
    size_t mask_;
    std::vector<float> fifo_;
    std::vector<float> scratch_;
    size_t fifoRead_ = 0;
    size_t fifoSize_ = 0;
    std::atomic<size_t> buffered_{0};
    std::atomic<uint64_t> silent_{0};
};

}  // namespace platform::mci
