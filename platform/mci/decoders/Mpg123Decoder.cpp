#include "platform/mci/decoders/Mpg123Decoder.h"

#include <mpg123.h>

#include <mutex>

namespace platform::mci {
namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* handle) const {
        mpg123_close(handle);
        mpg123_delete(handle);
    }
};

}  // namespace

std::unique_ptr<Mpg123Decoder> Mpg123Decoder::Open(FileHandle file) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { mpg123_init(); });
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, HandleDeleter> handle(mpg123_new(nullptr, &error));
    if (!handle) return nullptr;
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    // Float output at the stream's own rate and channel count: resampling is the output's business.
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open_fd(handle.get(), file.Get()) != MPG123_OK) return nullptr;
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(handle.get(), &rate, &channels, &encoding) != MPG123_OK || rate <= 0 || channels < 1)
        return nullptr;
    // A VBR file without a header only knows its length after every frame has been counted.
    if (mpg123_scan(handle.get()) != MPG123_OK) return nullptr;
    off_t length = mpg123_length(handle.get());
    if (length <= 0) return nullptr;
    AudioFormat format{static_cast<int>(rate), channels, 2};
    return std::unique_ptr<Mpg123Decoder>(new Mpg123Decoder(std::move(file), handle.release(), format, length));
}

Mpg123Decoder::Mpg123Decoder(FileHandle file, mpg123_handle* handle, AudioFormat format, int64_t length)
    : file_(std::move(file)), handle_(handle), format_(format), length_(length) {}

Mpg123Decoder::~Mpg123Decoder() { HandleDeleter()(handle_); }

int64_t Mpg123Decoder::Read(float* interleaved, int64_t frames) {
    const size_t frameBytes = sizeof(float) * static_cast<size_t>(format_.channels);
    auto* bytes = reinterpret_cast<unsigned char*>(interleaved);
    size_t total = 0;
    const size_t wanted = static_cast<size_t>(frames) * frameBytes;
    while (!ended_ && total < wanted) {
        size_t done = 0;
        int result = mpg123_read(handle_, bytes + total, wanted - total, &done);
        total += done;
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(handle_, &rate, &channels, &encoding);
            // A stream that changes its format midway is played up to the change.
            if (rate != format_.rate || channels != format_.channels) ended_ = true;
        } else if (result != MPG123_OK) {
            ended_ = true;
        }
    }
    return static_cast<int64_t>(total / frameBytes);
}

bool Mpg123Decoder::Seek(int64_t frame) {
    ended_ = false;
    return mpg123_seek(handle_, static_cast<off_t>(frame), SEEK_SET) == static_cast<off_t>(frame);
}

}  // namespace platform::mci
