#pragma once
// Stereo float rate conversion with libsoxr, for files whose rate differs from the output's.

#include <cstddef>

typedef struct soxr* soxr_t;

namespace platform::mci {

class Resampler {
  public:
    Resampler(double inputRate, double outputRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    bool Valid() const { return soxr_ != nullptr; }
    // Converts as much of `input` as fits into `output`; reports what was used and made. A null input drains the
    // frames still held inside.
    void Process(const float* input, size_t inputFrames, size_t& used, float* output, size_t outputFrames,
                 size_t& made);
    void Clear();

  private:
    soxr_t soxr_ = nullptr;
};

}  // namespace platform::mci
