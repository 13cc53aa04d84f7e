// Fuzzes the MIDI file reader, on plain files and inside a RIFF RMID wrapper: whatever the bytes, reading must not
// crash, and a sequence it accepts must be one the synthesizer can be driven by: events in time order within the
// length, channel messages with 7-bit data, system exclusive indexes that exist, a length of at most a day.
//
// The first byte of an input picks the output rate (its low two bits) and how the rest, the file, is read:
// as it is, or (bit 2) wrapped in a RIFF RMID file, with (bit 3) an odd-sized chunk of other data before the
// MIDI data. A wrapped file must read exactly as the bare one does.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "platform/mci/decoders/MidiFile.h"

using platform::mci::MidiEvent;
using platform::mci::MidiSequence;

namespace {

constexpr int kRates[] = {44100, 48000, 8000, 96000};
constexpr int64_t kLongestSeconds = 24 * 60 * 60;

void Check(bool condition, const char* broken) {
    if (condition) return;
    std::fprintf(stderr, "MIDI invariant broken: %s\n", broken);
    std::abort();
}

std::string LittleEndian(uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string Chunk(std::string_view id, std::string_view body) {
    std::string chunk = std::string(id) + LittleEndian(static_cast<uint32_t>(body.size())) + std::string(body);
    if (body.size() % 2) chunk += '\0';
    return chunk;
}

std::string Wrapped(std::string_view midi, bool otherChunkFirst) {
    std::string chunks = "RMID";
    if (otherChunkFirst) chunks += Chunk("LIST", "INFOfuzz!");
    chunks += Chunk("data", midi);
    return "RIFF" + LittleEndian(static_cast<uint32_t>(chunks.size())) + chunks;
}

void CheckSequence(const MidiSequence& sequence, int rate) {
    Check(sequence.lengthFrames >= 0 && sequence.lengthFrames <= kLongestSeconds * rate, "length out of range");
    int64_t previous = 0;
    for (const MidiEvent& event : sequence.events) {
        Check(event.frame >= previous, "events out of time order");
        Check(event.frame <= sequence.lengthFrames, "an event after the end");
        previous = event.frame;
        if (event.status == 0xF0) {
            Check(event.sysex < sequence.sysex.size(), "a system exclusive index that does not exist");
        } else {
            Check(event.status >= 0x80 && event.status < 0xF0, "an event that is no channel message");
            Check(event.data1 < 0x80 && event.data2 < 0x80, "data bytes with the high bit set");
        }
    }
}

bool Same(const MidiSequence& a, const MidiSequence& b) {
    if (a.lengthFrames != b.lengthFrames || a.sysex != b.sysex || a.events.size() != b.events.size()) return false;
    for (size_t i = 0; i < a.events.size(); ++i) {
        const MidiEvent &x = a.events[i], &y = b.events[i];
        if (x.frame != y.frame || x.status != y.status || x.data1 != y.data1 || x.data2 != y.data2 ||
            x.sysex != y.sysex)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const int rate = kRates[mode % std::size(kRates)];
    // An exactly sized heap copy, so that reading one byte too far is caught.
    const std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::optional<MidiSequence> bare = MidiSequence::Parse(file, rate);
    if (bare) CheckSequence(*bare, rate);
    if (!(mode & 4)) return 0;

    const std::string wrapped = Wrapped(file, mode & 8);
    std::optional<MidiSequence> unwrapped = MidiSequence::Parse(wrapped, rate);
    if (unwrapped) CheckSequence(*unwrapped, rate);
    // A file that is itself a RIFF file is unwrapped once only.
    const bool riff = file.size() >= 12 && file.starts_with("RIFF") && file.substr(8, 4) == "RMID";
    if (!riff) {
        Check(bare.has_value() == unwrapped.has_value(), "wrapping changed whether the file reads");
        Check(!bare || Same(*bare, *unwrapped), "wrapping changed what the file holds");
    }
    return 0;
}
