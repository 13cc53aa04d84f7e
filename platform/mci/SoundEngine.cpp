#include "platform/mci/SoundEngine.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "platform/mci/outputs/NullOutput.h"

namespace platform::mci {
namespace {

// The mixer runs this far ahead of what the output has taken: the time the program has, once a device reports
// its end, to start the next one without a gap.
constexpr int kLeadMilliseconds = 60;
constexpr int kSuspendAfterSeconds = 3;

}  // namespace

SoundEngine::SoundEngine(std::function<DecodeWorker::NextRound()> afterWorkerRound) : worker_(std::move(afterWorkerRound)) {}

SoundEngine::~SoundEngine() {
    // The worker stops first: after each round it looks at the output and the mixer. Then the output, whose pulls
    // read the mixer.
    worker_.Stop();
    output_.reset();
}

void SoundEngine::EnsureOutput() {
    std::string error;
    if (!output_) OpenOutput(OutputChoice{}, error);
}

bool SoundEngine::OpenOutput(const OutputChoice& choice, std::string& error) {
    auto output = CreateOutput(choice, error);
    outputFailed_ = false;
    if (!output && choice.name == "sdl") {
        output = std::make_unique<NullOutput>(48000);
        outputFailed_ = true;
    }
    if (!output) return false;
    Use(std::move(output));
    return true;
}

bool SoundEngine::TakeOutputFailure() { return std::exchange(outputFailed_, false); }

void SoundEngine::Use(std::unique_ptr<OutputBackend> output) {
    output_.reset();
    const size_t lead = static_cast<size_t>(output->Rate()) * kLeadMilliseconds / 1000;
    mixer_ = std::make_unique<Mixer>(lead, output->PeriodFrames());
    mixer_->OnStreamsTaken = [this] { worker_.Wake(); };
    output_ = std::move(output);
    output_->Start(*mixer_);
}

std::shared_ptr<Stream> SoundEngine::AddStream(std::unique_ptr<Decoder> decoder) {
    auto stream = std::make_shared<Stream>(std::move(decoder), output_->Rate());
    if (!mixer_->Attach(stream.get())) return nullptr;
    worker_.Add(stream);
    return stream;
}

void SoundEngine::RemoveStream(const std::shared_ptr<Stream>& stream) {
    Halt(*stream);
    mixer_->Detach(stream.get());
    output_->Barrier();
    worker_.Remove(stream.get());
}

void SoundEngine::Start(Stream& stream) {
    stream.SetActive(true);
    output_->Wake();
    worker_.Wake();
}

void SoundEngine::Halt(Stream& stream) {
    stream.SetActive(false);
    output_->Barrier();
}

void SoundEngine::Restart(Stream& stream, int64_t start, int64_t end) {
    Halt(stream);
    stream.Restart(start, end);
    worker_.Wake();
}

void SoundEngine::CatchUp() {
    if (output_) output_->CatchUp();
}

std::optional<std::chrono::nanoseconds> SoundEngine::NextEnd(const std::vector<Stream*>& playing) const {
    if (!output_ || !output_->DrivenByCaller() || playing.empty()) return std::nullopt;
    // Each pull tops the mixed frames up to the lead, so a stream's last frame is mixed once the output has
    // pulled what remains of it less what the lead will take in advance.
    const int64_t ahead = static_cast<int64_t>(mixer_->LeadFrames()) - static_cast<int64_t>(mixer_->Buffered());
    int64_t soonest = INT64_MAX;
    for (Stream* stream : playing) soonest = std::min(soonest, stream->RemainingOutputFrames() - ahead);
    return output_->WhenPulled(static_cast<uint64_t>(std::max<int64_t>(1, soonest)));
}

bool SoundEngine::SuspendWhenIdle() {
    // Before the first file opens there is no output, and nothing to play: the stream that comes wakes the worker.
    if (!output_) return true;
    if (!mixer_->Idle(static_cast<uint64_t>(output_->Rate()) * kSuspendAfterSeconds)) return false;
    output_->Suspend();
    return true;
}

}  // namespace platform::mci
