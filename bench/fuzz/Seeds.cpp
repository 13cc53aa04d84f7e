// Writes the first inputs of a fuzz target's corpus, each a small valid file made here, in the input layout the
// target reads (a few leading bytes that pick how it is read, then the file):
//   korvo_fuzz_seeds midi|bitmap|mci <folder>
// The MIDI files and the sounds are made as the tests make theirs, so the corpus starts where the tests stand.

#include <sndfile.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/MediaFixtures.h"

namespace fs = std::filesystem;

namespace {

void Save(const fs::path& folder, const std::string& name, std::string_view mode, std::string_view file) {
    std::ofstream out(folder / name, std::ios::binary);
    out.write(mode.data(), static_cast<std::streamsize>(mode.size()));
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
}

std::string Byte(int value) { return std::string(1, static_cast<char>(value)); }

std::string LittleEndian(uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

// ---- MIDI ----------------------------------------------------------------------------------------------------------

// A piece of one track: a tempo change, running status, every kind of channel message, a system exclusive message
// and a text event.
std::string EveryEventTrack() {
    return MidiTempo(0, 500000) + MidiEvent(0, {0xFF, 0x01, 4, 'f', 'u', 'z', 'z'}) + MidiEvent(0, {0xC0, 5}) +
           MidiEvent(0, {0xB0, 7, 100}) + MidiEvent(0, {0x90, 60, 100}) + MidiEvent(120, {64, 90}) +
           MidiEvent(0, {0xE0, 0, 0x50}) + MidiEvent(0, {0xF0, 5, 0x7E, 0x7F, 9, 1, 0xF7}) +
           MidiTempo(240, 300000) + MidiEvent(0, {0xA0, 60, 30}) + MidiEvent(0, {0xD0, 40}) +
           MidiEvent(240, {0x80, 60, 0}) + MidiEvent(0, {0x80, 64, 0}) + MidiEndOfTrack(10);
}

std::string RiffMidi(const std::string& midi) {
    std::string chunks = "RMID" + std::string("data") + LittleEndian(static_cast<uint32_t>(midi.size()), 4) + midi;
    if (midi.size() % 2) chunks += '\0';
    return "RIFF" + LittleEndian(static_cast<uint32_t>(chunks.size()), 4) + chunks;
}

std::vector<std::string> MidiFiles() {
    const std::string notes = MidiEvent(0, {0x91, 72, 80}) + MidiEvent(480, {0x81, 72, 0}) + MidiEndOfTrack(0);
    return {
        MidiFile(0, 480, {MidiTrack(EveryEventTrack())}),
        MidiFile(1, 96, {MidiTrack(MidiTempo(0, 400000) + MidiEndOfTrack(200)), MidiTrack(EveryEventTrack()),
                         MidiTrack(notes)}),
        MidiFile(2, 480, {MidiTrack(notes), MidiTrack(MidiTempo(0, 250000) + notes)}),
        MidiFile(0, 0xE728, {MidiTrack(notes)}),  // 25 SMPTE frames a second, 40 ticks each
        MidiFile(0, 0xE350, {MidiTrack(notes)}),  // 29.97 frames a second
    };
}

void MidiSeeds(const fs::path& folder) {
    // Mode: the rate in the low two bits, then a RIFF wrapper, then a chunk before the MIDI data.
    const int modes[] = {0, 1 | 4, 2 | 4 | 8, 3, 4};
    const std::vector<std::string> files = MidiFiles();
    for (size_t i = 0; i < files.size(); ++i) Save(folder, "midi-" + std::to_string(i), Byte(modes[i]), files[i]);
    Save(folder, "rmid", Byte(0), RiffMidi(files[0]));
    std::string cut = files[1];
    Save(folder, "cut", Byte(1), cut.substr(0, cut.size() - 5));
}

// ---- bitmaps -------------------------------------------------------------------------------------------------------

struct Bmp {
    int headerSize = 40;  // 12 (core), 40, 108 or 124
    int bits = 24;
    int width = 3, height = 2;
    bool topDown = false;
    bool bitfields = false;
    uint32_t masks[3]{0xF800, 0x07E0, 0x001F};
    int paletteSize = 0;
    bool zeroOffset = false;
};

std::string MakeBmp(const Bmp& b) {
    const bool core = b.headerSize == 12;
    const size_t entry = core ? 3 : 4;
    std::string header = LittleEndian(static_cast<uint32_t>(b.headerSize), 4);
    if (core) {
        header += LittleEndian(static_cast<uint32_t>(b.width), 2) + LittleEndian(static_cast<uint32_t>(b.height), 2) +
                  LittleEndian(1, 2) + LittleEndian(static_cast<uint32_t>(b.bits), 2);
    } else {
        header += LittleEndian(static_cast<uint32_t>(b.width), 4) +
                  LittleEndian(static_cast<uint32_t>(b.topDown ? -b.height : b.height), 4) + LittleEndian(1, 2) +
                  LittleEndian(static_cast<uint32_t>(b.bits), 2) + LittleEndian(b.bitfields ? 3 : 0, 4) +
                  LittleEndian(0, 4) + LittleEndian(2835, 4) + LittleEndian(2835, 4) +
                  LittleEndian(static_cast<uint32_t>(b.paletteSize), 4) + LittleEndian(0, 4);
        std::string masks;
        for (uint32_t mask : b.masks) masks += LittleEndian(mask, 4);
        if (b.headerSize > 40) header += masks;  // the later headers hold the masks themselves
        header.resize(static_cast<size_t>(b.headerSize), '\0');
        if (b.headerSize == 40 && b.bitfields) header += masks;
    }
    const int colours = b.paletteSize ? b.paletteSize : b.bits <= 8 ? 1 << b.bits : 0;
    for (int i = 0; i < colours; ++i) {
        const uint32_t colour = static_cast<uint32_t>(i) * 0x3F1D27u;
        header += LittleEndian(colour, static_cast<int>(entry));
    }
    const size_t stride = ((static_cast<size_t>(b.width) * static_cast<size_t>(b.bits) + 31) / 32) * 4;
    std::string rows;
    for (size_t i = 0; i < stride * static_cast<size_t>(b.height); ++i)
        rows += static_cast<char>((i * 73 + 11) & 0xFF);
    const uint32_t offset = b.zeroOffset ? 0 : static_cast<uint32_t>(14 + header.size());
    return "BM" + LittleEndian(static_cast<uint32_t>(14 + header.size() + rows.size()), 4) + LittleEndian(0, 4) +
           LittleEndian(offset, 4) + header + rows;
}

void BitmapSeeds(const fs::path& folder) {
    // Flags (bit 0 a DIB section, bit 1 monochrome), then the width and the height to load at.
    struct Seed {
        const char* name;
        Bmp bmp;
        int flags = 0, cx = 0, cy = 0;
    };
    Bmp mono{.bits = 1, .width = 11, .height = 3};
    Bmp four{.bits = 4, .width = 5, .height = 3, .paletteSize = 6};
    Bmp eight{.bits = 8, .width = 4, .height = 4, .topDown = true};
    Bmp rgb555{.bits = 16};
    Bmp rgb565{.bits = 16, .bitfields = true};
    Bmp top{.bits = 24, .topDown = true, .zeroOffset = true};
    Bmp argb{.bits = 32, .width = 2, .height = 2};
    Bmp core{.headerSize = 12, .bits = 8, .width = 3, .height = 3, .paletteSize = 0};
    Bmp v5{.headerSize = 124, .bits = 32, .bitfields = true, .masks = {0xFF0000, 0xFF00, 0xFF}};
    const Seed seeds[] = {
        {"mono", mono},          {"four", four, 1},        {"eight", eight, 0, 7, 5}, {"rgb555", rgb555, 1},
        {"rgb565", rgb565, 0},   {"top-down", top, 2},     {"argb", argb, 1, 4, 4},   {"core", core, 0},
        {"v5", v5, 1},
    };
    for (const Seed& seed : seeds)
        Save(folder, seed.name, Byte(seed.flags) + Byte(seed.cx) + Byte(seed.cy), MakeBmp(seed.bmp));
}

// ---- sounds --------------------------------------------------------------------------------------------------------

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void MciSeeds(const fs::path& folder) {
    // The extension's index among mp3, wav, aif, au and mid; five times a play style is added to it.
    struct Sound {
        const char* name;
        int extension;
        int format;
        int rate;
        int channels;
        int frames;
    };
    const Sound sounds[] = {
        {"pcm.wav", 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 8000, 1, 400},
        {"float.wav", 1, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 11025, 2, 150},
        {"ulaw.wav", 1, SF_FORMAT_WAV | SF_FORMAT_ULAW, 8000, 1, 600},
        {"adpcm.wav", 1, SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 8000, 1, 1010},
        {"song.aif", 2, SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 22050, 2, 100},
        {"voice.au", 3, SF_FORMAT_AU | SF_FORMAT_PCM_16, 8000, 1, 500},
        {"tone.mp3", 0, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 8000, 1, 1152 * 4},
        // The content decides, not the name.
        {"lossless.flac", 1, SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 8000, 1, 300},
        {"tune.ogg", 0, SF_FORMAT_OGG | SF_FORMAT_VORBIS, 8000, 1, 400},
        {"speech.opus", 3, SF_FORMAT_OGG | SF_FORMAT_OPUS, 48000, 1, 2400},
    };
    const fs::path scratch = folder / ".scratch";
    for (const Sound& sound : sounds) {
        if (!WriteSound(scratch, sound.format, sound.rate, sound.channels,
                        Tone(sound.rate, sound.channels, sound.frames))) {
            std::fprintf(stderr, "could not write %s\n", sound.name);
            continue;
        }
        const std::string bytes = ReadFile(scratch);
        Save(folder, std::string(sound.name) + "-waited", Byte(sound.extension), bytes);
        Save(folder, std::string(sound.name) + "-stepped", Byte(sound.extension + 5 * 3), bytes);
        // MPEG audio after an ID3 tag, which is skipped before the frames are looked for.
        if ((sound.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG)
            Save(folder, std::string(sound.name) + "-tagged", Byte(sound.extension + 5),
                 std::string("ID3\x03\0\0\0\0\0\x0A", 10) + std::string(10, '\0') + bytes);
    }
    fs::remove(scratch);
    const std::vector<std::string> midi = MidiFiles();
    Save(folder, "type0.mid", Byte(4), midi[0]);
    Save(folder, "type1.mid", Byte(4 + 5), midi[1]);
    Save(folder, "type2.mid", Byte(4 + 5 * 2), midi[2]);
    Save(folder, "rmid.mid", Byte(4 + 5 * 3), RiffMidi(midi[3]));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s midi|bitmap|mci <folder>\n", argv[0]);
        return 2;
    }
    const std::string target = argv[1];
    const fs::path folder = argv[2];
    fs::create_directories(folder);
    if (target == "midi") MidiSeeds(folder);
    else if (target == "bitmap") BitmapSeeds(folder);
    else if (target == "mci") MciSeeds(folder);
    else {
        std::fprintf(stderr, "no seeds for %s\n", target.c_str());
        return 2;
    }
    return 0;
}
