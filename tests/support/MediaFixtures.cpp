#include "tests/support/MediaFixtures.h"

#include <sndfile.h>

#include <cmath>

std::vector<float> Tone(int rate, int channels, int64_t frames, double frequency) {
    std::vector<float> samples(static_cast<size_t>(frames * channels));
    for (int64_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            samples[i * channels + c] =
                static_cast<float>(0.5 * std::cos(2 * M_PI * frequency * static_cast<double>(i) / rate + c));
    return samples;
}

bool WriteSound(const std::filesystem::path& path, int format, int rate, int channels,
                const std::vector<float>& samples, bool variableBitrate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    if (variableBitrate) {
        int mode = SF_BITRATE_MODE_VARIABLE;
        sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof(mode));
    }
    const sf_count_t frames = static_cast<sf_count_t>(samples.size() / channels);
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

std::vector<float> ReadSound(const std::filesystem::path& path, int& rate, int& channels) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) return {};
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    rate = info.samplerate;
    channels = info.channels;
    return samples;
}

std::string MidiNumber(uint32_t value) {
    std::string bytes(1, static_cast<char>(value & 0x7F));
    while (value >>= 7) bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
    return bytes;
}

std::string MidiEvent(uint32_t delta, std::initializer_list<int> bytes) {
    std::string event = MidiNumber(delta);
    for (int byte : bytes) event += static_cast<char>(byte);
    return event;
}

std::string MidiTempo(uint32_t delta, uint32_t tempo) {
    return MidiEvent(delta, {0xFF, 0x51, 3, static_cast<int>(tempo >> 16), static_cast<int>((tempo >> 8) & 0xFF),
                             static_cast<int>(tempo & 0xFF)});
}

std::string MidiEndOfTrack(uint32_t delta) { return MidiEvent(delta, {0xFF, 0x2F, 0}); }

namespace {

std::string BigEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

}  // namespace

std::string MidiTrack(const std::string& events) {
    return "MTrk" + BigEndian(static_cast<uint32_t>(events.size()), 4) + events;
}

std::string MidiFile(int format, int division, const std::vector<std::string>& tracks) {
    std::string file = "MThd" + BigEndian(6, 4) + BigEndian(format, 2) +
                       BigEndian(static_cast<uint32_t>(tracks.size()), 2) + BigEndian(division, 2);
    for (const std::string& track : tracks) file += track;
    return file;
}
