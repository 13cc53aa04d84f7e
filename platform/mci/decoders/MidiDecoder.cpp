#include "platform/mci/decoders/MidiDecoder.h"

#include "platform/mci/decoders/FluidSynthLibrary.h"

#include <algorithm>

namespace platform::mci {

MidiDecoder::MidiDecoder(MidiSequence sequence, SynthPool::Lease synth)
    : sequence_(std::move(sequence)), synth_(std::move(synth)) {}

void MidiDecoder::Send(const MidiEvent& event) {
    fluid_synth_t* synth = synth_->Get();
    const FluidSynthLibrary& fluid = synth_->Fluid();
    const int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
        case 0x80: fluid.fluid_synth_noteoff(synth, channel, event.data1); break;
        case 0x90: fluid.fluid_synth_noteon(synth, channel, event.data1, event.data2); break;
        case 0xA0: fluid.fluid_synth_key_pressure(synth, channel, event.data1, event.data2); break;
        case 0xB0: fluid.fluid_synth_cc(synth, channel, event.data1, event.data2); break;
        case 0xC0: fluid.fluid_synth_program_change(synth, channel, event.data1); break;
        case 0xD0: fluid.fluid_synth_channel_pressure(synth, channel, event.data1); break;
        case 0xE0: fluid.fluid_synth_pitch_bend(synth, channel, event.data1 | (event.data2 << 7)); break;
        case 0xF0: {
            const std::string& body = sequence_.sysex[event.sysex];
            fluid.fluid_synth_sysex(synth, body.data(), static_cast<int>(body.size()), nullptr, nullptr, nullptr, 0);
            break;
        }
    }
}

int64_t MidiDecoder::Read(float* interleaved, int64_t frames) {
    const int64_t end = std::min(sequence_.lengthFrames, frame_ + frames);
    int64_t done = 0;
    while (frame_ < end) {
        while (next_ < sequence_.events.size() && sequence_.events[next_].frame <= frame_)
            Send(sequence_.events[next_++]);
        int64_t until = next_ < sequence_.events.size() ? std::min(end, sequence_.events[next_].frame) : end;
        int count = static_cast<int>(until - frame_);
        float* out = interleaved + done * 2;
        synth_->Fluid().fluid_synth_write_float(synth_->Get(), count, out, 0, 2, out, 1, 2);
        frame_ = until;
        done += count;
    }
    return done;
}

bool MidiDecoder::Seek(int64_t frame) {
    if (frame < 0 || frame > sequence_.lengthFrames) return false;
    synth_->Fluid().fluid_synth_system_reset(synth_->Get());
    // Programs, controllers and bends set before the new place still hold there; the notes do not.
    next_ = 0;
    for (; next_ < sequence_.events.size() && sequence_.events[next_].frame < frame; ++next_) {
        const MidiEvent& event = sequence_.events[next_];
        const uint8_t kind = event.status & 0xF0;
        if (kind != 0x80 && kind != 0x90 && kind != 0xA0) Send(event);
    }
    frame_ = frame;
    return true;
}

}  // namespace platform::mci
