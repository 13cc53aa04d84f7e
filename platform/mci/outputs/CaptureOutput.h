#pragma once
// The null output's twin that keeps what it pulls in a 32-bit float WAV file, so that tests and benchmarks can
// look at exactly what would have reached the speakers.

#include <memory>
#include <string>

#include "platform/mci/outputs/ClockedOutput.h"

typedef struct sf_private_tag SNDFILE;

namespace platform::mci {

class CaptureOutput final : public ClockedOutput {
  public:
    static std::unique_ptr<CaptureOutput> Open(const std::string& path, int rate, std::string& error);
    ~CaptureOutput() override;

  protected:
    void Consume(const float* frames, size_t count) override;

  private:
    CaptureOutput(SNDFILE* file, int rate) : ClockedOutput(rate), file_(file) {}
    SNDFILE* file_;
};

}  // namespace platform::mci
