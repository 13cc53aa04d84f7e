#pragma once
// Where the mixed sound goes. One output serves every device for the life of the program, so that opening the
// next file never reopens the sound card. The backends are peers picked by name: "sdl" (the sound server or
// card), "null" (silence, following the platform clock) and "capture" (a WAV file, following the clock).

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace platform::mci {

class Mixer;

class OutputBackend {
  public:
    virtual ~OutputBackend() = default;

    virtual int Rate() const = 0;
    // The most frames one pull asks the mixer for.
    virtual size_t PeriodFrames() const = 0;
    // Starts pulling; the mixer outlives the output.
    virtual void Start(Mixer& mixer) = 0;
    // Returns once no pull is under way, so that a stream can be changed or taken away.
    virtual void Barrier() = 0;
    // Outputs that follow the platform clock pull up to the present here. Those without a thread of their own
    // (on the virtual clock) advance only through this call.
    virtual void CatchUp() {}
    virtual bool DrivenByCaller() const { return false; }
    // For outputs driven by their caller: the clock time by which `frames` more frames will have been pulled.
    virtual std::optional<std::chrono::nanoseconds> WhenPulled(uint64_t frames) const {
        (void)frames;
        return std::nullopt;
    }
    // Nothing has played for a while, and something is about to play again.
    virtual void Suspend() {}
    virtual void Wake() {}
};

struct OutputChoice {
    std::string name = "sdl";  // "sdl", "null" or "capture"
    int rate = 0;              // for null and capture; 0 takes 48000
    std::string path;          // the WAV file a capture writes
};

// nullptr with a reason when the output cannot be opened.
std::unique_ptr<OutputBackend> CreateOutput(const OutputChoice& choice, std::string& error);

}  // namespace platform::mci
