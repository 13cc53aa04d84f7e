#pragma once
// Standard MIDI Files (types 0, 1 and 2, also inside a RIFF RMID wrapper) read into one list of timed events. The
// tempo map is applied here, so every event's time and the length are exact in frames of the given rate; the
// synthesizer is only told what to play when.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::mci {

struct MidiEvent {
    int64_t frame = 0;
    uint8_t status = 0;  // a channel message, or 0xF0 for a system exclusive message
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint32_t sysex = 0;  // index into MidiSequence::sysex for 0xF0
};

struct MidiSequence {
    std::vector<MidiEvent> events;   // in playing order
    std::vector<std::string> sysex;  // message bodies without the leading 0xF0
    int64_t lengthFrames = 0;        // the time of the last event, end-of-track markers included

    // nullopt when the bytes are not a MIDI file. A track that claims more bytes than the file holds is read as
    // far as it goes; an event cut off by the end of the data is dropped.
    static std::optional<MidiSequence> Parse(std::string_view bytes, int rate);
};

}  // namespace platform::mci
