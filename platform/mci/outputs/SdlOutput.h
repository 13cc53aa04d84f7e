#pragma once
// The sound server or card through SDL2's audio callback, at the device's own rate. The callback only copies and
// adds what the mixer holds: no locks, no allocation, no decoding. A suspended output closes its device: SDL's
// audio thread runs on through a pause, waking every period to play silence.

#include <SDL2/SDL_audio.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/mci/outputs/NullOutput.h"
#include "platform/mci/outputs/OutputBackend.h"

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
    // Opens the device at `rate`, letting SDL change only what `changes` allows; 0 when it cannot.
    static SDL_AudioDeviceID OpenDevice(SdlOutput* output, int rate, SDL_AudioSpec* have, int changes);

    SDL_AudioDeviceID device_ = 0;  // 0 while suspended
    // Takes the frames in silence, at the same pace, when the device cannot be opened again after a suspension
    // (the sound server gone meanwhile): what plays goes on to its end rather than stand still.
    std::unique_ptr<NullOutput> silent_;
    int rate_ = 0;
    size_t period_ = 0;
    Mixer* mixer_ = nullptr;
    std::atomic<bool> suspended_{false};
};

}  // namespace platform::mci
