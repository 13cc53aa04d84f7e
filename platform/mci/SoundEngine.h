#pragma once
// The one sound engine of the process: the output, the mixer in front of it and the decoding worker behind it.
// The MCI side (MciSystem) owns it and calls it under its own lock; only the worker and the output's pulls run
// elsewhere.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "platform/mci/DecodeWorker.h"
#include "platform/mci/Mixer.h"
#include "platform/mci/outputs/OutputBackend.h"
#include "platform/mci/Stream.h"

namespace platform::mci {

class SoundEngine {
  public:
    // `afterWorkerRound` as for DecodeWorker.
    explicit SoundEngine(std::function<DecodeWorker::NextRound()> afterWorkerRound);
    ~SoundEngine();

    // Opens the sound device on first need.
    void EnsureOutput();
    // Replaces the output; no stream may be open. When the sound device ("sdl") cannot be opened the engine plays
    // silently in real time instead, and TakeOutputFailure() answers true once.
    bool OpenOutput(const OutputChoice& choice, std::string& error);
    bool TakeOutputFailure();
    int Rate() const { return output_ ? output_->Rate() : 0; }

    std::shared_ptr<Stream> AddStream(std::unique_ptr<Decoder> decoder);  // nullptr when every slot is taken
    void RemoveStream(const std::shared_ptr<Stream>& stream);
    void Start(Stream& stream);
    // Stops the mixer taking from the stream and waits until no pull still does.
    void Halt(Stream& stream);
    void Restart(Stream& stream, int64_t start, int64_t end);

    // Brings an output that follows the clock up to the present.
    void CatchUp();
    // For outputs driven by their caller: when the first playing stream will have been handed over to its end.
    std::optional<std::chrono::nanoseconds> NextEnd(const std::vector<Stream*>& playing) const;
    // Puts the sound device to sleep once nothing has played for a few seconds (from the worker); true when
    // nothing plays and nothing takes frames any more.
    bool SuspendWhenIdle();

  private:
    void Use(std::unique_ptr<OutputBackend> output);

    std::unique_ptr<Mixer> mixer_;
    std::unique_ptr<OutputBackend> output_;
    DecodeWorker worker_;
    bool outputFailed_ = false;
};

}  // namespace platform::mci
