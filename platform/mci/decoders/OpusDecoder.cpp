#include "platform/mci/decoders/OpusDecoder.h"

#include <opus/opusfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform::mci {
namespace {

int ReadFd(void* source, unsigned char* buffer, int bytes) {
    ssize_t got;
    do got = ::read(static_cast<FileHandle*>(source)->Get(), buffer, static_cast<size_t>(bytes));
    while (got < 0 && errno == EINTR);
    return got < 0 ? -1 : static_cast<int>(got);
}

int SeekFd(void* source, opus_int64 offset, int whence) {
    return ::lseek(static_cast<FileHandle*>(source)->Get(), offset, whence) < 0 ? -1 : 0;
}

opus_int64 TellFd(void* source) { return ::lseek(static_cast<FileHandle*>(source)->Get(), 0, SEEK_CUR); }

}  // namespace

std::unique_ptr<OpusDecoder> OpusDecoder::Open(FileHandle handle) {
    auto file = std::make_unique<FileHandle>(std::move(handle));
    OpusFileCallbacks callbacks{ReadFd, SeekFd, TellFd, nullptr};
    int error = 0;
    OggOpusFile* opus = op_open_callbacks(file.get(), &callbacks, nullptr, 0, &error);
    if (!opus) return nullptr;
    ogg_int64_t length = op_pcm_total(opus, -1);
    if (length < 0) {
        op_free(opus);
        return nullptr;
    }
    return std::unique_ptr<OpusDecoder>(new OpusDecoder(std::move(file), opus, length));
}

OpusDecoder::OpusDecoder(std::unique_ptr<FileHandle> file, OggOpusFile* opus, int64_t length)
    : file_(std::move(file)), opus_(opus), length_(length) {}

OpusDecoder::~OpusDecoder() { op_free(opus_); }

int64_t OpusDecoder::Read(float* interleaved, int64_t frames) {
    int64_t total = 0;
    while (!ended_ && total < frames) {
        int room = static_cast<int>(std::min<int64_t>(frames - total, 5760) * 2);
        int got = op_read_float_stereo(opus_, interleaved + total * 2, room);
        if (got == OP_HOLE) continue;
        if (got <= 0) {
            ended_ = true;
            break;
        }
        total += got;
    }
    return total;
}

bool OpusDecoder::Seek(int64_t frame) {
    ended_ = false;
    return op_pcm_seek(opus_, frame) == 0;
}

}  // namespace platform::mci
