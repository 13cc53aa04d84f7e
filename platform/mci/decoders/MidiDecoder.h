#pragma once
// Standard MIDI Files rendered by FluidSynth at the output's rate. Our own sequence (MidiFile.h) times every event
// to the frame; the synthesizer only renders between events, so pausing simply stops rendering and a seek
// replays the controller state up to the new place.

#include <memory>

#include "platform/mci/decoders/Decoder.h"
#include "platform/mci/decoders/MidiFile.h"
#include "platform/mci/decoders/SynthPool.h"

namespace platform::mci {

class MidiDecoder final : public Decoder {
  public:
    MidiDecoder(MidiSequence sequence, SynthPool::Lease synth);

    AudioFormat Format() const override { return AudioFormat{synth_->Rate(), 2, 2}; }
    int64_t Length() const override { return sequence_.lengthFrames; }
    int64_t Read(float* interleaved, int64_t frames) override;
    bool Seek(int64_t frame) override;

  private:
    void Send(const MidiEvent& event);

    MidiSequence sequence_;
    SynthPool::Lease synth_;
    size_t next_ = 0;
    int64_t frame_ = 0;
};

}  // namespace platform::mci
