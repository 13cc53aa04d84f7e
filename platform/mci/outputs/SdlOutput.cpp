#include "platform/mci/outputs/SdlOutput.h"

#include <SDL2/SDL.h>

#include "platform/mci/Mixer.h"

namespace platform::mci {
namespace {

// About 40 ms a period, as a power of two: SDL 2.26 corrupts memory with other buffer sizes in one of its drivers.
// Each period wakes SDL's sound thread; at 20 ms that thread cost a fifth of what the player spends playing, and
// a pause or stop 20 ms later than it could be is not heard.
Uint16 PeriodFor(int rate) {
    Uint16 samples = 256;
    while (samples < rate / 25) samples = static_cast<Uint16>(samples * 2);
    return samples;
}

}  // namespace

std::unique_ptr<SdlOutput> SdlOutput::Open(std::string& error) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no sound output: ") + SDL_GetError();
        return nullptr;
    }
    // A device that states no rate of its own (SDL's dummy and disk drivers, some older drivers) gets the rate of
    // most music files, which then play without resampling.
    SDL_AudioSpec preferred{};
    int rate = 44100;
    if (SDL_GetDefaultAudioInfo(nullptr, &preferred, 0) == 0 && preferred.freq > 0) rate = preferred.freq;
    std::unique_ptr<SdlOutput> output(new SdlOutput());
    SDL_AudioSpec have{};
    output->device_ = OpenDevice(output.get(), rate, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (output->device_ == 0) {
        error = std::string("no sound output: ") + SDL_GetError();
        return nullptr;  // the output's end leaves SDL's audio as it found it
    }
    output->rate_ = have.freq;
    output->period_ = have.samples;
    return output;
}

SDL_AudioDeviceID SdlOutput::OpenDevice(SdlOutput* output, int rate, SDL_AudioSpec* have, int changes) {
    SDL_AudioSpec want{};
    want.freq = rate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = PeriodFor(rate);
    want.callback = Callback;
    want.userdata = output;
    // Only the rate may change, and only at the first open; SDL converts format and channels itself and keeps our
    // power-of-two period.
    return SDL_OpenAudioDevice(nullptr, 0, &want, have, changes);
}

SdlOutput::~SdlOutput() {
    silent_.reset();
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlOutput::Start(Mixer& mixer) {
    SDL_LockAudioDevice(device_);
    mixer_ = &mixer;
    SDL_UnlockAudioDevice(device_);
    SDL_PauseAudioDevice(device_, 0);
}

void SdlOutput::Callback(void* self, Uint8* stream, int bytes) {
    auto* output = static_cast<SdlOutput*>(self);
    auto* frames = reinterpret_cast<float*>(stream);
    const size_t count = static_cast<size_t>(bytes) / (2 * sizeof(float));
    if (!output->mixer_) {
        SDL_memset(stream, 0, static_cast<size_t>(bytes));
        return;
    }
    // SDL keeps to the period we asked for; should a driver ask for more, it gets it in pieces.
    for (size_t done = 0; done < count;) {
        const size_t part = std::min(count - done, output->period_);
        output->mixer_->Pull(frames + done * 2, part, false);
        done += part;
    }
}

void SdlOutput::Barrier() {
    if (silent_) silent_->Barrier();
    if (device_ == 0) return;
    SDL_LockAudioDevice(device_);
    SDL_UnlockAudioDevice(device_);
}

void SdlOutput::Suspend() {
    if (suspended_.exchange(true)) return;
    silent_.reset();
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
}

void SdlOutput::Wake() {
    if (!suspended_.exchange(false)) return;
    // The rate the mixer and every stream were made for: SDL converts should the device now want another.
    SDL_AudioSpec have{};
    device_ = OpenDevice(this, rate_, &have, 0);
    if (device_ != 0) {
        SDL_PauseAudioDevice(device_, 0);
        return;
    }
    silent_ = std::make_unique<NullOutput>(rate_);
    silent_->Start(*mixer_);
}

}  // namespace platform::mci
