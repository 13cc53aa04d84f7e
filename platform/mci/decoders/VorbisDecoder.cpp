#include "platform/mci/decoders/VorbisDecoder.h"

#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <cerrno>

namespace platform::mci {

struct VorbisDecoder::File {
    FileHandle handle;
    OggVorbis_File vorbis{};
    bool opened = false;
    ~File() {
        if (opened) ov_clear(&vorbis);
    }
};

namespace {

size_t ReadFd(void* buffer, size_t size, size_t count, void* source) {
    auto* file = static_cast<FileHandle*>(source);
    ssize_t got;
    do got = ::read(file->Get(), buffer, size * count);
    while (got < 0 && errno == EINTR);
    return got > 0 ? static_cast<size_t>(got) / size : 0;
}

int SeekFd(void* source, ogg_int64_t offset, int whence) {
    return ::lseek(static_cast<FileHandle*>(source)->Get(), offset, whence) < 0 ? -1 : 0;
}

long TellFd(void* source) { return static_cast<long>(::lseek(static_cast<FileHandle*>(source)->Get(), 0, SEEK_CUR)); }

}  // namespace

std::unique_ptr<VorbisDecoder> VorbisDecoder::Open(FileHandle handle) {
    auto file = std::make_unique<File>();
    file->handle = std::move(handle);
    ov_callbacks callbacks{ReadFd, SeekFd, nullptr, TellFd};
    if (ov_open_callbacks(&file->handle, &file->vorbis, nullptr, 0, callbacks) != 0) return nullptr;
    file->opened = true;
    vorbis_info* info = ov_info(&file->vorbis, -1);
    ogg_int64_t length = ov_pcm_total(&file->vorbis, -1);
    if (!info || info->channels < 1 || info->rate < 1 || length < 0) return nullptr;
    auto decoder = std::unique_ptr<VorbisDecoder>(new VorbisDecoder(std::move(file)));
    decoder->format_ = AudioFormat{static_cast<int>(info->rate), info->channels, 2};
    decoder->length_ = length;
    return decoder;
}

VorbisDecoder::VorbisDecoder(std::unique_ptr<File> file) : file_(std::move(file)) {}

VorbisDecoder::~VorbisDecoder() = default;

int64_t VorbisDecoder::Read(float* interleaved, int64_t frames) {
    int64_t total = 0;
    while (!ended_ && total < frames) {
        float** channels = nullptr;
        int section = 0;
        long got = ov_read_float(&file_->vorbis, &channels, static_cast<int>(std::min<int64_t>(frames - total, 4096)),
                                 &section);
        if (got == OV_HOLE) continue;  // a gap in the pages: decoding goes on after it
        if (got <= 0) {
            ended_ = true;
            break;
        }
        // Chained streams that change their format are played up to the change.
        vorbis_info* info = ov_info(&file_->vorbis, section);
        if (!info || info->channels != format_.channels || info->rate != format_.rate) {
            ended_ = true;
            break;
        }
        for (long i = 0; i < got; ++i)
            for (int c = 0; c < format_.channels; ++c)
                interleaved[(total + i) * format_.channels + c] = channels[c][i];
        total += got;
    }
    return total;
}

bool VorbisDecoder::Seek(int64_t frame) {
    ended_ = false;
    return ov_pcm_seek(&file_->vorbis, frame) == 0;
}

}  // namespace platform::mci
