#include "platform/mci/Resampler.h"

#include <soxr.h>

namespace platform::mci {

Resampler::Resampler(double inputRate, double outputRate) {
    soxr_error_t error = nullptr;
    soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_ = soxr_create(inputRate, outputRate, 2, &error, nullptr, &quality, nullptr);
    if (error) soxr_ = nullptr;
}

Resampler::~Resampler() {
    if (soxr_) soxr_delete(soxr_);
}

void Resampler::Process(const float* input, size_t inputFrames, size_t& used, float* output, size_t outputFrames,
                        size_t& made) {
    used = made = 0;
    soxr_process(soxr_, input, input ? inputFrames : 0, &used, output, outputFrames, &made);
}

void Resampler::Clear() { soxr_clear(soxr_); }

}  // namespace platform::mci
