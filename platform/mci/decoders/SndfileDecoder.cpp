#include "platform/mci/decoders/SndfileDecoder.h"

#include <sndfile.h>
#include <unistd.h>

#include <vector>

namespace platform::mci {
namespace {

constexpr sf_count_t kCountingFrames = 4096;

int BytesPerSample(int format) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
        case SF_FORMAT_ULAW:
        case SF_FORMAT_ALAW: return 1;
        case SF_FORMAT_PCM_24: return 3;
        case SF_FORMAT_PCM_32:
        case SF_FORMAT_FLOAT: return 4;
        case SF_FORMAT_DOUBLE: return 8;
        default: return 2;
    }
}

}  // namespace

std::unique_ptr<SndfileDecoder> SndfileDecoder::Open(FileHandle file) {
    SF_INFO info{};
    // libsndfile reads through the descriptor but leaves closing it to us.
    SNDFILE* sound = sf_open_fd(file.Get(), SFM_READ, &info, SF_FALSE);
    if (!sound) return nullptr;
    if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG || info.channels < 1 || info.samplerate < 1 ||
        info.frames < 0) {
        sf_close(sound);
        return nullptr;
    }
    if (info.frames == SF_COUNT_MAX) {
        // The length is not in the headers (a FLAC stream without its total): it is counted by decoding once, as
        // libmpg123 counts a VBR file's frames. The file is opened again for playing, since such a stream may not
        // seek back to its start.
        std::vector<float> scratch(kCountingFrames * static_cast<size_t>(info.channels));
        int64_t counted = 0;
        for (sf_count_t got; (got = sf_readf_float(sound, scratch.data(), kCountingFrames)) > 0;) counted += got;
        sf_close(sound);
        if (::lseek(file.Get(), 0, SEEK_SET) != 0) return nullptr;
        const int channels = info.channels, rate = info.samplerate;
        info = SF_INFO{};
        sound = sf_open_fd(file.Get(), SFM_READ, &info, SF_FALSE);
        if (!sound) return nullptr;
        if (info.channels != channels || info.samplerate != rate) {
            sf_close(sound);
            return nullptr;
        }
        info.frames = counted;
    }
    AudioFormat format{info.samplerate, info.channels, BytesPerSample(info.format)};
    return std::unique_ptr<SndfileDecoder>(new SndfileDecoder(std::move(file), sound, format, info.frames));
}

SndfileDecoder::SndfileDecoder(FileHandle file, SNDFILE* sound, AudioFormat format, int64_t length)
    : file_(std::move(file)), sound_(sound), format_(format), length_(length) {}

SndfileDecoder::~SndfileDecoder() { sf_close(sound_); }

int64_t SndfileDecoder::Read(float* interleaved, int64_t frames) {
    sf_count_t got = sf_readf_float(sound_, interleaved, frames);
    return got > 0 ? got : 0;
}

bool SndfileDecoder::Seek(int64_t frame) { return sf_seek(sound_, frame, SEEK_SET) == frame; }

}  // namespace platform::mci
