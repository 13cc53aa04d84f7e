#pragma once
// The sound server or card through SDL2's audio callback, at the device's own rate. The callback only copies and
// adds what the mixer holds: no locks, no allocation, no decoding.

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/mci/OutputBackend.h"

namespace platform::mci {

class SdlOutput final : public OutputBackend {
  public:
    static std::unique_ptr<SdlOutput> Open(std::string& error);
    ~SdlOutput() override;

    int Rate() const override { return rate_; }
    size_t PeriodFrames() const override { return period_; }
    void Start(Mixer& mixer) override;
    void Barrier() override;
    void Suspend() override;
    void Wake() override;

  private:
    SdlOutput() = default;
    static void Callback(void* self, Uint8* stream, int bytes);

    SDL_AudioDeviceID device_ = 0;
    int rate_ = 0;
    size_t period_ = 0;
    Mixer* mixer_ = nullptr;
    std::atomic<bool> suspended_{false};
};

}  // namespace platform::mci
