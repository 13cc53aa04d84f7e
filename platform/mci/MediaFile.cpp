#include "platform/mci/MediaFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "platform/kernel/Paths.h"
#include "platform/kernel/Patience.h"
#include "platform/mci/decoders/ContentProbe.h"
#include "platform/mci/decoders/MidiDecoder.h"
#include "platform/mci/decoders/Mpg123Decoder.h"
#include "platform/mci/decoders/OpusDecoder.h"
#include "platform/mci/decoders/SndfileDecoder.h"
#include "platform/mci/decoders/VorbisDecoder.h"

namespace platform::mci {
namespace {

constexpr size_t kHeadBytes = 65536;
// A MIDI file is read whole and every event is held in memory (about 40 bytes for an event of 3 bytes), so the
// largest accepted file costs a few hundred megabytes at worst; real pieces are far below this.
constexpr uint64_t kMaxMidiBytes = 16u << 20;

// The file opened and its head read, or why not. Asked of the file system patiently: a share that stopped answering
// must not hold the window, and a handle opened after the window gave up is closed with the errand.
struct OpenedFile {
    FileHandle file;
    uint64_t size = 0;
    std::string head;
    MCIERROR error = 0;
};

OpenedFile OpenRegularFile(const std::string& posixPath) {
    OpenedFile opened;
    // Non-blocking, so that a FIFO without a writer cannot hold the program here.
    int fd = ::open(posixPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        opened.error = errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? MCIERR_FILE_NOT_FOUND
                                                                                   : MCIERR_FILE_READ;
        return opened;
    }
    opened.file = FileHandle(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        opened.error = MCIERR_FILE_READ;
        return opened;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    opened.size = static_cast<uint64_t>(info.st_size);
    opened.head.assign(std::min<uint64_t>(opened.size, kHeadBytes), '\0');
    ssize_t got = ::pread(fd, opened.head.data(), opened.head.size(), 0);
    opened.head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return opened;
}

std::string ReadAll(const FileHandle& file, uint64_t size) {
    std::string bytes(size, '\0');
    size_t done = 0;
    while (done < size) {
        ssize_t got = ::pread(file.Get(), bytes.data() + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

MCIERROR OpenMidi(const FileHandle& file, uint64_t size, int outputRate, OpenedMedia& media) {
    if (size > kMaxMidiBytes) return MCIERR_INVALID_FILE;
    auto sequence = MidiSequence::Parse(ReadAll(file, size), outputRate);
    if (!sequence) return MCIERR_INVALID_FILE;
    SynthPool::Lease synth = SynthPool::Get().Acquire(outputRate);
    if (!synth) return MCIERR_CANNOT_LOAD_DRIVER;
    media.decoder = std::make_unique<MidiDecoder>(std::move(*sequence), std::move(synth));
    media.kind = DeviceKind::Sequencer;
    return 0;
}

}  // namespace

MCIERROR OpenMediaFile(const std::string& windowsName, int outputRate, OpenedMedia& media) {
    std::string posixPath;
    DWORD error = 0;
    if (!kernel::ResolvePath(windowsName, posixPath, error)) return MCIERR_FILE_NOT_FOUND;
    std::optional<OpenedFile> opened =
        kernel::AskPatiently<OpenedFile>(posixPath, [posixPath] { return OpenRegularFile(posixPath); });
    if (!opened) return MCIERR_FILE_READ;
    if (opened->error) return opened->error;
    FileHandle file = std::move(opened->file);
    const uint64_t size = opened->size;
    const std::string& head = opened->head;

    media.kind = DeviceKind::MpegVideo;
    switch (ProbeContent(head, file, size)) {
        case Content::Midi: return OpenMidi(file, size, outputRate, media);
        case Content::Wave:
            media.kind = DeviceKind::WaveAudio;
            media.decoder = SndfileDecoder::Open(std::move(file));
            break;
        case Content::OtherSndfile:
        case Content::Flac: media.decoder = SndfileDecoder::Open(std::move(file)); break;
        case Content::Vorbis: media.decoder = VorbisDecoder::Open(std::move(file)); break;
        case Content::Opus: media.decoder = OpusDecoder::Open(std::move(file)); break;
        case Content::Mpeg: media.decoder = Mpg123Decoder::Open(std::move(file)); break;
        case Content::Unknown:
            // Formats libsndfile knows that are not worth a magic number of our own (W64, CAF, ...).
            if (size >= 12) media.decoder = SndfileDecoder::Open(std::move(file));
            break;
    }
    return media.decoder ? 0 : MCIERR_INVALID_FILE;
}

}  // namespace platform::mci
