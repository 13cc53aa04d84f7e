#pragma once
// Ogg Opus through libopusfile: always 48 kHz, mixed down to stereo by the library, exact seeks.

#include <memory>

#include "platform/mci/decoders/Decoder.h"
#include "platform/mci/FileHandle.h"

struct OggOpusFile;

namespace platform::mci {

class OpusDecoder final : public Decoder {
  public:
    static std::unique_ptr<OpusDecoder> Open(FileHandle file);
    ~OpusDecoder() override;

    AudioFormat Format() const override { return AudioFormat{48000, 2, 2}; }
    int64_t Length() const override { return length_; }
    int64_t Read(float* interleaved, int64_t frames) override;
    bool Seek(int64_t frame) override;

  private:
    OpusDecoder(std::unique_ptr<FileHandle> file, OggOpusFile* opus, int64_t length);

    std::unique_ptr<FileHandle> file_;  // opusfile holds its address
    OggOpusFile* opus_;
    int64_t length_;
    bool ended_ = false;
};

}  // namespace platform::mci
