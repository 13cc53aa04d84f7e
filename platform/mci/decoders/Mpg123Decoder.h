#pragma once
// MPEG audio layers I to III through libmpg123. The whole file is scanned before the length is given, so VBR files
// without a header report their true length; encoder delay and padding are trimmed, and seeks are sample-exact.

#include <memory>

#include "platform/mci/decoders/Decoder.h"
#include "platform/mci/FileHandle.h"

struct mpg123_handle_struct;

namespace platform::mci {

class Mpg123Decoder final : public Decoder {
  public:
    static std::unique_ptr<Mpg123Decoder> Open(FileHandle file);
    ~Mpg123Decoder() override;

    AudioFormat Format() const override { return format_; }
    int64_t Length() const override { return length_; }
    int64_t Read(float* interleaved, int64_t frames) override;
    bool Seek(int64_t frame) override;

  private:
    Mpg123Decoder(FileHandle file, mpg123_handle_struct* handle, AudioFormat format, int64_t length);

    FileHandle file_;
    mpg123_handle_struct* handle_;
    AudioFormat format_;
    int64_t length_;
    bool ended_ = false;
};

}  // namespace platform::mci
