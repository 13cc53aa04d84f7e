#pragma once
// Ogg Vorbis through libvorbisfile, whose PCM seeks land on the exact sample.

#include <memory>

#include "platform/mci/decoders/Decoder.h"
#include "platform/mci/FileHandle.h"

namespace platform::mci {

class VorbisDecoder final : public Decoder {
  public:
    static std::unique_ptr<VorbisDecoder> Open(FileHandle file);
    ~VorbisDecoder() override;

    AudioFormat Format() const override { return format_; }
    int64_t Length() const override { return length_; }
    int64_t Read(float* interleaved, int64_t frames) override;
    bool Seek(int64_t frame) override;

  private:
    struct File;
    explicit VorbisDecoder(std::unique_ptr<File> file);

    std::unique_ptr<File> file_;
    AudioFormat format_;
    int64_t length_ = 0;
    bool ended_ = false;
};

}  // namespace platform::mci
