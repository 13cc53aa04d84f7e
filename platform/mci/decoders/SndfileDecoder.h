#pragma once
// WAV (PCM, float, mu-law, A-law, ADPCM), AIFF and AIFF-C, AU and FLAC through libsndfile.

#include <memory>

#include "platform/mci/decoders/Decoder.h"
#include "platform/mci/FileHandle.h"

typedef struct sf_private_tag SNDFILE;

namespace platform::mci {

class SndfileDecoder final : public Decoder {
  public:
    // nullptr when libsndfile does not recognise the content, or recognises it as MPEG (left to libmpg123).
    static std::unique_ptr<SndfileDecoder> Open(FileHandle file);
    ~SndfileDecoder() override;

    AudioFormat Format() const override { return format_; }
    int64_t Length() const override { return length_; }
    int64_t Read(float* interleaved, int64_t frames) override;
    bool Seek(int64_t frame) override;

  private:
    SndfileDecoder(FileHandle file, SNDFILE* sound, AudioFormat format, int64_t length);

    FileHandle file_;
    SNDFILE* sound_;
    AudioFormat format_;
    int64_t length_;
};

}  // namespace platform::mci
