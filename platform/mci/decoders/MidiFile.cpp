#include "platform/mci/decoders/MidiFile.h"

#include <algorithm>

namespace platform::mci {
namespace {

constexpr uint32_t kDefaultTempo = 500000;  // microseconds per quarter note until the file says otherwise
// Huge delta times in a damaged file would carry frame counts past what 64 bits hold; counts stop here instead,
// far beyond the longest file accepted.
constexpr int64_t kFrameCeiling = int64_t{1} << 48;
// No real piece lasts a day: a longer file is damaged, and its length would not fit the millisecond positions.
constexpr int64_t kLongestSeconds = 24 * 60 * 60;

uint32_t BigEndian(std::string_view bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int i = 0; i < count; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// One event as read from a track, before the tempo map turns ticks into frames.
struct RawEvent {
    uint64_t tick;
    int track;
    int order;
    uint8_t status;  // 0xFF for a tempo change
    uint8_t data1, data2;
    uint32_t value;  // tempo, or sysex index
};

class TrackReader {
  public:
    TrackReader(std::string_view data, int track, std::vector<RawEvent>& out, std::vector<std::string>& sysex)
        : data_(data), track_(track), out_(out), sysex_(sysex) {}

    // Reads until the end-of-track marker or the end of the data; returns the tick of the track's end.
    uint64_t Read() {
        uint64_t tick = 0;
        uint8_t running = 0;
        while (at_ < data_.size()) {
            uint32_t delta;
            if (!Number(delta)) break;
            tick += delta;
            if (at_ >= data_.size()) break;
            uint8_t status = Byte(at_);
            if (status & 0x80) ++at_;
            else if (running) status = running;
            else break;  // data without a status to run on: the track is damaged from here
            if (status == 0xFF) {
                if (at_ >= data_.size()) break;
                uint8_t type = Byte(at_++);
                uint32_t length;
                if (!Number(length) || length > data_.size() - at_) break;
                if (type == 0x2F) return tick;
                if (type == 0x51 && length == 3) Add(tick, 0xFF, 0, 0, BigEndian(data_, at_, 3));
                at_ += length;
            } else if (status == 0xF0 || status == 0xF7) {
                uint32_t length;
                if (!Number(length) || length > data_.size() - at_) break;
                std::string body(data_.substr(at_, length));
                at_ += length;
                if (status == 0xF0 && !body.empty() && static_cast<uint8_t>(body.back()) == 0xF7) body.pop_back();
                if (status == 0xF0) {
                    sysex_.push_back(std::move(body));
                    Add(tick, 0xF0, 0, 0, static_cast<uint32_t>(sysex_.size() - 1));
                }
                running = 0;
            } else if (status >= 0xF0) {
                break;  // system common and real-time messages have no place in a file
            } else {
                const int length = (status & 0xE0) == 0xC0 ? 1 : 2;
                if (data_.size() - at_ < static_cast<size_t>(length)) break;
                uint8_t data1 = Byte(at_) & 0x7F;
                uint8_t data2 = length == 2 ? Byte(at_ + 1) & 0x7F : 0;
                at_ += length;
                running = status;
                Add(tick, status, data1, data2, 0);
            }
        }
        return tick;
    }

  private:
    uint8_t Byte(size_t at) const { return static_cast<uint8_t>(data_[at]); }

    // A variable-length quantity: at most four bytes.
    bool Number(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            if (at_ >= data_.size()) return false;
            uint8_t byte = Byte(at_++);
            value = (value << 7) | (byte & 0x7F);
            if (!(byte & 0x80)) return true;
        }
        return false;
    }

    void Add(uint64_t tick, uint8_t status, uint8_t data1, uint8_t data2, uint32_t value) {
        out_.push_back(RawEvent{tick, track_, order_++, status, data1, data2, value});
    }

    std::string_view data_;
    size_t at_ = 0;
    int track_;
    int order_ = 0;
    std::vector<RawEvent>& out_;
    std::vector<std::string>& sysex_;
};

// Turns ticks into frames. Time is kept as an exact fraction (ticks times tempo over the division), so a file with
// many tempo changes ends on the same frame as its length says.
class TempoMap {
  public:
    TempoMap(uint16_t division, int rate) : rate_(rate) {
        if (division & 0x8000) {
            int fps = -static_cast<int8_t>(division >> 8);
            int ticksPerFrame = division & 0xFF;
            smpte_ = true;
            // 29 stands for 29.97 frames a second.
            denominator_ = fps == 29 ? 2997ULL * ticksPerFrame : 100ULL * fps * ticksPerFrame;
        } else {
            denominator_ = 1000000ULL * division;
        }
    }

    bool Valid() const { return denominator_ != 0; }
    void Reset() {
        tempo_ = kDefaultTempo;
        lastTick_ = 0;
        scaled_ = 0;
    }
    int64_t FrameAt(uint64_t tick) {
        // Ticks below 2^64 and tempos below 2^24 keep the sum far inside 128 bits, however many events there are.
        scaled_ += static_cast<unsigned __int128>(tick - lastTick_) * (smpte_ ? 100 : tempo_);
        lastTick_ = tick;
        const unsigned __int128 frame = scaled_ * static_cast<unsigned>(rate_) / denominator_;
        return frame >= static_cast<unsigned __int128>(kFrameCeiling) ? kFrameCeiling : static_cast<int64_t>(frame);
    }
    void SetTempo(uint32_t tempo) {
        if (tempo) tempo_ = tempo;
    }

  private:
    int rate_;
    bool smpte_ = false;
    uint64_t denominator_ = 0;
    uint32_t tempo_ = kDefaultTempo;
    uint64_t lastTick_ = 0;
    unsigned __int128 scaled_ = 0;
};

// The MIDI data of a RIFF RMID file, or the bytes themselves.
std::string_view Unwrap(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "RMID") return bytes;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        size_t size = static_cast<uint8_t>(bytes[at + 4]) | static_cast<uint8_t>(bytes[at + 5]) << 8 |
                      static_cast<uint8_t>(bytes[at + 6]) << 16 |
                      static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 7])) << 24;
        if (bytes.substr(at, 4) == "data") return bytes.substr(at + 8, std::min<size_t>(size, bytes.size() - at - 8));
        // A chunk that claims more than the file holds ends the search (its size could also wrap a 32-bit step).
        if (size > bytes.size() - at - 8) break;
        at += 8 + size + (size & 1);
    }
    return {};
}

}  // namespace

std::optional<MidiSequence> MidiSequence::Parse(std::string_view bytes, int rate) {
    bytes = Unwrap(bytes);
    if (bytes.size() < 14 || bytes.substr(0, 4) != "MThd") return std::nullopt;
    uint32_t headerLength = BigEndian(bytes, 4, 4);
    if (headerLength < 6 || headerLength > bytes.size() - 8) return std::nullopt;
    const uint32_t format = BigEndian(bytes, 8, 2);
    TempoMap tempo(static_cast<uint16_t>(BigEndian(bytes, 12, 2)), rate);
    if (format > 2 || !tempo.Valid()) return std::nullopt;

    MidiSequence sequence;
    std::vector<RawEvent> raw;
    std::vector<uint64_t> trackEnds;
    for (size_t at = 8 + headerLength; at + 8 <= bytes.size();) {
        uint32_t length = BigEndian(bytes, at + 4, 4);
        std::string_view body = bytes.substr(at + 8, std::min<size_t>(length, bytes.size() - at - 8));
        if (bytes.substr(at, 4) == "MTrk") {
            TrackReader reader(body, static_cast<int>(trackEnds.size()), raw, sequence.sysex);
            trackEnds.push_back(reader.Read());
        }
        at += 8 + body.size();
    }
    if (trackEnds.empty()) return std::nullopt;

    // Type 2 files play their tracks one after another, each with its own tempo; the others play them together.
    if (format == 2) {
        int64_t offset = 0;
        size_t next = 0;  // the reader left the events grouped by track, in track order
        for (size_t track = 0; track < trackEnds.size(); ++track) {
            tempo.Reset();
            for (; next < raw.size() && raw[next].track == static_cast<int>(track); ++next) {
                const RawEvent& event = raw[next];
                int64_t frame = offset + tempo.FrameAt(event.tick);
                if (event.status == 0xFF) tempo.SetTempo(event.value);
                else sequence.events.push_back({frame, event.status, event.data1, event.data2, event.value});
            }
            offset = std::min(offset + tempo.FrameAt(trackEnds[track]), kFrameCeiling);
        }
        sequence.lengthFrames = offset;
        if (sequence.lengthFrames > kLongestSeconds * rate) return std::nullopt;
        return sequence;
    }
    std::stable_sort(raw.begin(), raw.end(), [](const RawEvent& a, const RawEvent& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.track != b.track ? a.track < b.track : a.order < b.order;
    });
    tempo.Reset();
    uint64_t lastTick = *std::max_element(trackEnds.begin(), trackEnds.end());
    for (const RawEvent& event : raw) {
        int64_t frame = tempo.FrameAt(event.tick);
        if (event.status == 0xFF) tempo.SetTempo(event.value);
        else sequence.events.push_back({frame, event.status, event.data1, event.data2, event.value});
    }
    sequence.lengthFrames = tempo.FrameAt(std::max(lastTick, raw.empty() ? 0 : raw.back().tick));
    if (sequence.lengthFrames > kLongestSeconds * rate) return std::nullopt;
    return sequence;
}

}  // namespace platform::mci
