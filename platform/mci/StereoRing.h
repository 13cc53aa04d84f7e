#pragma once
// A single-producer single-consumer ring of stereo float frames. Neither side locks or allocates, so the audio
// callback can read it; the capacity is a power of two so that indices wrap with a mask.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>

namespace platform::mci {

class StereoRing {
  public:
    explicit StereoRing(size_t minimumFrames) {
        capacity_ = 1;
        while (capacity_ < minimumFrames) capacity_ <<= 1;
        data_ = std::make_unique<float[]>(capacity_ * 2);
    }

    size_t Capacity() const { return capacity_; }
    size_t Size() const {
        // The read index first: it never passes the write index, so a later write index is never below it.
        const uint64_t read = read_.load(std::memory_order_acquire);
        return static_cast<size_t>(write_.load(std::memory_order_acquire) - read);
    }
    size_t Free() const { return capacity_ - Size(); }

    // Producer: appends up to `count` frames, returns how many fitted.
    size_t Write(const float* frames, size_t count) {
        const uint64_t write = write_.load(std::memory_order_relaxed);
        count = std::min(count, capacity_ - static_cast<size_t>(write - read_.load(std::memory_order_acquire)));
        const size_t start = static_cast<size_t>(write) & (capacity_ - 1);
        const size_t first = std::min(count, capacity_ - start);
        std::memcpy(&data_[start * 2], frames, first * 2 * sizeof(float));
        std::memcpy(&data_[0], frames + first * 2, (count - first) * 2 * sizeof(float));
        write_.store(write + count, std::memory_order_release);
        return count;
    }

    // Consumer: adds up to `count` frames onto `dest` and removes them, returns how many there were.
    size_t AddTo(float* dest, size_t count) {
        const uint64_t read = read_.load(std::memory_order_relaxed);
        count = std::min(count, static_cast<size_t>(write_.load(std::memory_order_acquire) - read));
        const size_t start = static_cast<size_t>(read) & (capacity_ - 1);
        for (size_t i = 0; i < count; ++i) {
            const size_t at = ((start + i) & (capacity_ - 1)) * 2;
            dest[i * 2] += data_[at];
            dest[i * 2 + 1] += data_[at + 1];
        }
        read_.store(read + count, std::memory_order_release);
        return count;
    }

    // Only while neither side is working on the ring.
    void Reset() {
        read_.store(0);
        write_.store(0);
    }

  private:
    std::unique_ptr<float[]> data_;
    size_t capacity_ = 0;
    std::atomic<uint64_t> write_{0};
    std::atomic<uint64_t> read_{0};
};

}  // namespace platform::mci
