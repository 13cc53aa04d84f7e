#include "platform/mci/decoders/ContentProbe.h"

#include <unistd.h>

#include <string>

namespace platform::mci {
namespace {

constexpr size_t kMpegSearch = 65536;  // junk allowed before the first MPEG frame

uint8_t At(std::string_view bytes, size_t i) { return static_cast<uint8_t>(bytes[i]); }

// The length in bytes of the MPEG audio frame whose header starts here, or 0 when it is no valid header.
size_t MpegFrameBytes(std::string_view bytes, size_t at) {
    if (at + 4 > bytes.size() || At(bytes, at) != 0xFF || (At(bytes, at + 1) & 0xE0) != 0xE0) return 0;
    const int version = (At(bytes, at + 1) >> 3) & 3;  // 0: 2.5, 2: 2, 3: 1
    const int layer = (At(bytes, at + 1) >> 1) & 3;    // 1: III, 2: II, 3: I
    const int bitrateIndex = At(bytes, at + 2) >> 4;
    const int rateIndex = (At(bytes, at + 2) >> 2) & 3;
    const int padding = (At(bytes, at + 2) >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3 ||
        (At(bytes, at + 3) & 3) == 2)
        return 0;
    static constexpr int kBitrates[2][3][15] = {
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static constexpr int kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int layerIndex = 3 - layer;  // 0: I, 1: II, 2: III
    const int bitrate = kBitrates[mpeg1 ? 0 : 1][layerIndex][bitrateIndex] * 1000;
    const int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    if (layerIndex == 0) return static_cast<size_t>((12 * bitrate / rate + padding) * 4);
    const int factor = layerIndex == 2 && !mpeg1 ? 72 : 144;
    return static_cast<size_t>(factor * bitrate / rate + padding);
}

// MPEG audio has no magic number; three frames in a row (or frames up to the end of a short file) make random
// bytes that happen to look like one header count for nothing.
bool LooksLikeMpeg(std::string_view window, bool windowEndsFile) {
    for (size_t start = 0; start < std::min(window.size(), kMpegSearch); ++start) {
        size_t at = start;
        int frames = 0;
        while (frames < 3) {
            size_t length = MpegFrameBytes(window, at);
            if (!length) break;
            ++frames;
            at += length;
            if (windowEndsFile && at == window.size()) return true;
        }
        if (frames == 3) return true;
    }
    return false;
}

size_t Id3Size(std::string_view head) {
    if (head.size() < 10 || head.substr(0, 3) != "ID3") return 0;
    size_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (At(head, i) & 0x80) return 0;
        size = (size << 7) | At(head, i);
    }
    return 10 + size + ((At(head, 5) & 0x10) ? 10 : 0);
}

std::string ReadAt(const FileHandle& file, uint64_t offset, size_t count) {
    std::string bytes(count, '\0');
    ssize_t got = ::pread(file.Get(), bytes.data(), count, static_cast<off_t>(offset));
    bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return bytes;
}

}  // namespace

Content ProbeContent(std::string_view head, const FileHandle& file, uint64_t fileSize) {
    auto is = [&](size_t at, std::string_view magic) {
        return head.size() >= at + magic.size() && head.substr(at, magic.size()) == magic;
    };
    if (is(0, "MThd") || (is(0, "RIFF") && is(8, "RMID"))) return Content::Midi;
    if ((is(0, "RIFF") || is(0, "RIFX") || is(0, "RF64")) && is(8, "WAVE")) return Content::Wave;
    if (is(0, "FORM") && (is(8, "AIFF") || is(8, "AIFC"))) return Content::OtherSndfile;
    if (is(0, ".snd")) return Content::OtherSndfile;
    if (is(0, "fLaC")) return Content::Flac;
    if (is(0, "OggS")) {
        if (head.find("\x01vorbis") != std::string_view::npos) return Content::Vorbis;
        if (head.find("OpusHead") != std::string_view::npos) return Content::Opus;
        return Content::Unknown;
    }
    // After an ID3 tag (which may be larger than the first bytes read) comes MPEG audio or, rarely, FLAC.
    const size_t tag = Id3Size(head);
    std::string after = tag ? ReadAt(file, tag, kMpegSearch + 8192) : std::string(head);
    if (after.substr(0, 4) == "fLaC") return Content::Flac;
    if (LooksLikeMpeg(after, tag + after.size() >= fileSize)) return Content::Mpeg;
    return Content::Unknown;
}

}  // namespace platform::mci
