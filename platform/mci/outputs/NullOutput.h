#pragma once
// Silence that follows the platform clock: what tests and benchmarks play to, and what the program plays to when
// no sound device can be opened.

#include "platform/mci/outputs/ClockedOutput.h"

namespace platform::mci {

class NullOutput final : public ClockedOutput {
  public:
    explicit NullOutput(int rate) : ClockedOutput(rate) {}
    ~NullOutput() override { Stop(); }

  protected:
    void Consume(const float*, size_t) override {}
};

}  // namespace platform::mci
