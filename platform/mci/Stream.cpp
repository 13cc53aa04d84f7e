#include "platform/mci/Stream.h"

#include <algorithm>

namespace platform::mci {
namespace {

constexpr int64_t kChunkFrames = 4096;
constexpr size_t kResampledFrames = 16384;

}  // namespace

Stream::Stream(std::unique_ptr<Decoder> decoder, int outputRate)
    : decoder_(std::move(decoder)),
      format_(decoder_->Format()),
      outputRate_(outputRate),
      ring_(static_cast<size_t>(outputRate) * 3 / 8),  // room for the quarter second kept ahead, and a margin
      target_(static_cast<size_t>(outputRate) / 4),
      end_(decoder_->Length()),
      length_(decoder_->Length()) {
    if (format_.rate != outputRate) {
        resampler_ = std::make_unique<Resampler>(format_.rate, outputRate);
        resampled_.resize(kResampledFrames * 2);
    }
    raw_.resize(static_cast<size_t>(kChunkFrames * format_.channels));
    pending_.resize(static_cast<size_t>(kChunkFrames * 2));
    done_ = end_.load() == 0;
}

bool Stream::Produce() {
    std::lock_guard lock(decodeMutex_);
    if (done_.load() || ring_.Size() >= target_) return false;
    return Step();
}

void Stream::FillTo(size_t frames) {
    std::lock_guard lock(decodeMutex_);
    frames = std::min(frames, ring_.Capacity());
    for (int guard = 0; guard < 10000 && !done_.load() && ring_.Size() < frames; ++guard) Step();
}

bool Stream::Step() {
    if (pendingOffset_ == pendingCount_ && !flushing_) {
        const int64_t want = std::min(kChunkFrames, end_.load() - inputPosition_);
        const int64_t got = want > 0 ? std::clamp<int64_t>(decoder_->Read(raw_.data(), want), 0, want) : 0;
        if (got == 0) {
            if (want > 0) {
                // The data ended before its header said: what played is the length.
                length_ = inputPosition_;
                end_ = inputPosition_;
            }
            if (!resampler_) {
                done_.store(true, std::memory_order_release);
                return true;
            }
            flushing_ = true;
        } else {
            const int channels = format_.channels;
            for (int64_t i = 0; i < got; ++i) {
                pending_[i * 2] = raw_[i * channels];
                pending_[i * 2 + 1] = raw_[i * channels + (channels > 1 ? 1 : 0)];
            }
            pendingOffset_ = 0;
            pendingCount_ = static_cast<size_t>(got);
            inputPosition_ += got;
        }
    }
    const size_t room = ring_.Free();
    if (room == 0) return false;
    if (!resampler_) {
        pendingOffset_ += ring_.Write(&pending_[pendingOffset_ * 2], pendingCount_ - pendingOffset_);
        return true;
    }
    size_t used = 0, made = 0;
    const float* input = flushing_ ? nullptr : &pending_[pendingOffset_ * 2];
    resampler_->Process(input, pendingCount_ - pendingOffset_, used, resampled_.data(),
                        std::min(room, kResampledFrames), made);
    ring_.Write(resampled_.data(), made);
    pendingOffset_ += used;
    if (flushing_ && made == 0) done_.store(true, std::memory_order_release);
    return true;
}

void Stream::Restart(int64_t start, int64_t end) {
    std::lock_guard lock(decodeMutex_);
    if (!decoder_->Seek(start)) {
        // The data stops before this place; it becomes the end.
        length_ = std::min(length_.load(), start);
    }
    ring_.Reset();
    if (resampler_) resampler_->Clear();
    pendingOffset_ = pendingCount_ = 0;
    flushing_ = false;
    start_ = inputPosition_ = start;
    end_ = std::min(end, length_.load());
    if (start_ > end_) start_ = inputPosition_ = end_;
    consumed_ = 0;
    done_ = start_ >= end_;
    drained_ = false;
    ended_ = false;
}

void Stream::SetActive(bool active) {
    if (active) ended_ = false;
    active_.store(active, std::memory_order_release);
}

int64_t Stream::Position() const {
    const int64_t end = end_.load();
    if (drained_.load()) return end;
    const uint64_t consumed = consumed_.load();
    const int64_t played = resampler_ ? static_cast<int64_t>(static_cast<unsigned __int128>(consumed) *
                                                              static_cast<unsigned>(format_.rate) /
                                                              static_cast<unsigned>(outputRate_))
                                      : static_cast<int64_t>(consumed);
    return std::min(end, start_ + played);
}

int64_t Stream::RemainingOutputFrames() const {
    const int64_t source = end_.load() - start_;
    const int64_t total =
        resampler_ ? static_cast<int64_t>(std::min<__int128>(
                         (static_cast<__int128>(source) * outputRate_ + format_.rate - 1) / format_.rate, INT64_MAX))
                   : source;
    return std::max<int64_t>(0, total - static_cast<int64_t>(consumed_.load()));
}

size_t Stream::MixInto(float* dest, size_t frames) {
    if (!active_.load(std::memory_order_acquire)) return 0;
    const size_t got = ring_.AddTo(dest, frames);
    consumed_.fetch_add(got, std::memory_order_relaxed);
    if (ring_.Size() == 0 && done_.load(std::memory_order_acquire) && ring_.Size() == 0) {
        drained_ = true;
        active_ = false;
        ended_ = true;
    }
    return got;
}

}  // namespace platform::mci
