#include "platform/mci/outputs/CaptureOutput.h"

#include <sndfile.h>

namespace platform::mci {

std::unique_ptr<CaptureOutput> CaptureOutput::Open(const std::string& path, int rate, std::string& error) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write " + path + ": " + sf_strerror(nullptr);
        return nullptr;
    }
    return std::unique_ptr<CaptureOutput>(new CaptureOutput(file, rate));
}

CaptureOutput::~CaptureOutput() {
    Stop();
    sf_close(file_);
}

void CaptureOutput::Consume(const float* frames, size_t count) {
    sf_writef_float(file_, frames, static_cast<sf_count_t>(count));
}

}  // namespace platform::mci
