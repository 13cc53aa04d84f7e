#pragma once
// An output that takes frames as the platform clock passes, as a sound card would: the base of the null and
// capture outputs. On the real clock a thread of its own pulls a period at a time; on the virtual clock it is
// brought up to the present by whoever looks at it, so that tests play minutes of sound in milliseconds.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/kernel/Clock.h"
#include "platform/mci/outputs/OutputBackend.h"

namespace platform::mci {

class ClockedOutput : public OutputBackend {
  public:
    explicit ClockedOutput(int rate);
    ~ClockedOutput() override;

    int Rate() const override { return rate_; }
    size_t PeriodFrames() const override { return kPeriod; }
    void Start(Mixer& mixer) override;
    void Barrier() override;
    void CatchUp() override;
    bool DrivenByCaller() const override;
    std::optional<std::chrono::nanoseconds> WhenPulled(uint64_t frames) const override;
    void Wake() override;

  protected:
    // Nobody listens to these outputs, so they may take a larger bite than a sound card (about 85 ms) and wake
    // less often; the program's own requests bring them up to the present in between.
    static constexpr size_t kPeriod = 4096;
    // Receives every frame pulled, in order, under the output's lock.
    virtual void Consume(const float* frames, size_t count) = 0;
    // Derived outputs stop the thread before their own members go.
    void Stop();

  private:
    void CatchUpLocked();
    void Run();

    const int rate_;
    Mixer* mixer_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::thread thread_;
    bool quit_ = false;
    kernel::ClockSource* source_ = nullptr;
    std::chrono::nanoseconds start_{0};
    uint64_t pulled_ = 0;
    std::vector<float> buffer_;
};

}  // namespace platform::mci
