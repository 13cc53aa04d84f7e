// Every kind of file the player meets: exact lengths, what the output receives, and damaged files.

#include <sndfile.h>
#include <sys/stat.h>

#include <chrono>
#include <cmath>

#include "platform/mci/MciSystem.h"
#include "tests/support/MediaFixtures.h"
#include "tests/platform/mci/MciTestSupport.h"

using namespace std::chrono_literals;

namespace {

class MciFormats : public MciTest {};

// Tempo 120 for two beats, then tempo 240 for two beats, at 480 ticks a beat: 1000 ms + 500 ms.
std::string TempoChangingMidi(int format = 1) {
    std::string tempo = MidiTempo(0, 500000) + MidiTempo(960, 250000) + MidiEndOfTrack(960);
    std::string notes = MidiEvent(0, {0xC0, 0}) + MidiEvent(0, {0x90, 60, 100}) + MidiEvent(1900, {0x80, 60, 0}) +
                        MidiEndOfTrack(20);
    if (format == 0) {
        std::string merged = MidiTempo(0, 500000) + MidiEvent(0, {0xC0, 0}) + MidiEvent(0, {0x90, 60, 100}) +
                             MidiTempo(960, 250000) + MidiEvent(940, {0x80, 60, 0}) + MidiEndOfTrack(20);
        return MidiFile(0, 480, {MidiTrack(merged)});
    }
    return MidiFile(1, 480, {MidiTrack(tempo), MidiTrack(notes)});
}

}  // namespace

TEST_F(MciFormats, LengthsAreExactInEveryFormatAndTimeUnit) {
    struct Case {
        const char* name;
        int format;
        int rate;
        int channels;
        int64_t frames;
        bool vbr = false;
    };
    const Case cases[] = {
        {"pcm.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 66150},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1, 12345},
        {"ulaw.wav", SF_FORMAT_WAV | SF_FORMAT_ULAW, 8000, 1, 8000},
        {"adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 22050, 2, 2036 * 10},  // whole ADPCM blocks
        {"song.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 22050, 2, 16538},
        {"voice.au", SF_FORMAT_AU | SF_FORMAT_PCM_16, 8000, 1, 4000},
        {"lossless.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 96000, 2, 100000},
        {"tune.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 50000},
        {"cbr.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 88200},
        {"vbr.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2, 99999, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Written under a misleading name too: the content decides, not the extension.
        for (std::string name : {std::string(c.name), std::string(c.name) + ".mid"}) {
            ASSERT_TRUE(WriteSound(folder_.Path() / name, c.format, c.rate, c.channels,
                                   Tone(c.rate, c.channels, c.frames), c.vbr));
            MCIDEVICEID id = 0;
            ASSERT_EQ(Open(name, id), 0u);
            EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), static_cast<DWORD>(c.frames * 1000 / c.rate));
            EXPECT_EQ(SetTimeFormat(id, MCI_FORMAT_SAMPLES), 0u);
            EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), static_cast<DWORD>(c.frames));
            EXPECT_EQ(Send(id, MCI_CLOSE), 0u);
        }
    }
}

TEST_F(MciFormats, MidiTempoChangesGiveExactLengthsAndSeeks) {
    folder_.Write("type1.mid", TempoChangingMidi(1));
    folder_.Write("type0.mid", TempoChangingMidi(0));
    // Type 2: the tracks play one after another, each from tempo 120.
    folder_.Write("type2.mid", MidiFile(2, 480, {MidiTrack(MidiEndOfTrack(480)),
                                                 MidiTrack(MidiTempo(0, 250000) + MidiEndOfTrack(960))}));
    // A RIFF wrapper around a MIDI file.
    std::string midi = TempoChangingMidi(0);
    std::string riff = "RIFF" + std::string("\0\0\0\0", 4) + "RMID" + "data" +
                       std::string(1, static_cast<char>(midi.size() & 0xFF)) +
                       std::string(1, static_cast<char>(midi.size() >> 8)) + std::string(2, '\0') + midi;
    folder_.Write("wrapped.rmi", riff);
    for (const char* name : {"type1.mid", "type0.mid", "wrapped.rmi"}) {
        SCOPED_TRACE(name);
        MCIDEVICEID id = 0;
        ASSERT_EQ(Open(name, id), 0u) << ErrorText(Open(name, id));
        EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), 1500u);
        EXPECT_EQ(Capability(id, MCI_GETDEVCAPS_DEVICE_TYPE), static_cast<DWORD>(MCI_DEVTYPE_SEQUENCER));
        EXPECT_EQ(SeekTo(id, 1250), 0u);
        EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 1250u);
        EXPECT_EQ(Play(id), 0u);
        Pass(400ms);
        EXPECT_EQ(Status(id, MCI_STATUS_POSITION), 1500u);
        EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
        EXPECT_EQ(Send(id, MCI_CLOSE), 0u);
    }
    // Time in SMPTE frames (25 a second, 40 ticks each): tempo changes do not apply; running status in between.
    folder_.Write("smpte.mid", MidiFile(0, 0xE728, {MidiTrack(MidiTempo(0, 250000) + MidiEvent(0, {0x90, 60, 90}) +
                                                              MidiEvent(700, {62, 90}) + MidiEvent(800, {60, 0}) +
                                                              MidiEndOfTrack(0))}));
    for (const auto& [name, length] : {std::pair{"type2.mid", 1000u}, std::pair{"smpte.mid", 1500u}}) {
        MCIDEVICEID id = 0;
        ASSERT_EQ(Open(name, id), 0u);
        EXPECT_EQ(Status(id, MCI_STATUS_LENGTH), length) << name;  // type 2: 500 ms at tempo 120, 500 at 240
    }
}

TEST_F(MciFormats, TheOutputReceivesTheFileSamples) {
    // At the output's rate the samples arrive unchanged; at another rate they arrive resampled, close to the tone.
    const auto samples = Tone(kOutputRate, 2, 22050, 1000.0);
    ASSERT_TRUE(WriteSound(folder_.Path() / "same.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, kOutputRate, 2, samples));
    ASSERT_TRUE(WriteSound(folder_.Path() / "other.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 32000, 2,
                           Tone(32000, 2, 16000, 1000.0)));
    for (const char* name : {"same.wav", "other.wav"}) {
        SCOPED_TRACE(name);
        const auto capture = folder_.Path() / (std::string(name) + ".capture.wav");
        std::string error;
        ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"capture", kOutputRate, capture.string()}, error))
            << error;
        MCIDEVICEID id = 0;
        ASSERT_EQ(Open(name, id), 0u);
        Pass(100ms);  // silence before the start
        EXPECT_EQ(Play(id), 0u);
        Pass(1000ms);
        EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
        ASSERT_TRUE(platform::mci::MciSystem::Get().UseOutput({"null", kOutputRate, {}}, error));  // closes the file

        int rate = 0, channels = 0;
        const auto captured = ReadSound(capture, rate, channels);
        ASSERT_EQ(rate, kOutputRate);
        ASSERT_EQ(channels, 2);
        size_t first = 0;
        while (first < captured.size() && captured[first] == 0.0f) ++first;
        ASSERT_GE(first, static_cast<size_t>(kOutputRate / 10 * 2 - 2 * 1024)) << "the silence before the play";
        ASSERT_LE(first + samples.size(), captured.size());
        // A band-limited resampler rings where the tone starts and stops; the comparison leaves those edges out.
        const bool same = std::string(name) == "same.wav";
        const size_t edge = same ? 0 : 2000;
        double worst = 0;
        for (size_t i = edge; i < samples.size() - edge; ++i)
            worst = std::max(worst, std::abs(double(captured[first + i]) - samples[i]));
        if (same) EXPECT_EQ(worst, 0.0);
        else EXPECT_LT(worst, 0.02);
        // Nothing but silence after the file's last frame, of which the capture holds a good part of a second.
        ASSERT_GT(captured.size(), first + samples.size() + kOutputRate / 2);
        for (size_t i = first + samples.size() + 64; i < captured.size(); ++i) ASSERT_EQ(captured[i], 0.0f) << i;
    }
}

TEST_F(MciFormats, DamagedFilesAreRefusedOrPlayedAsFarAsTheyGo) {
    folder_.Write("empty.mp3", "");
    std::string noise(20000, '\0');
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u) >> 13);
    folder_.Write("noise.mp3", noise);
    folder_.Write("tag-only.mp3", std::string("ID3\x03\x00\x00\x00\x00\x00\x10", 10) + std::string(16, '\0'));
    folder_.Write("header-only.mid", std::string("MThd\0\0\0\x06\0\x01\0\x01\x01\xE0", 14));
    // A RIFF chunk whose size would wrap the search back onto itself, and a MIDI file whose huge delta times at
    // the slowest tempo add up to thousands of years.
    folder_.Write("wrapped-riff.mid", std::string("RIFF\x14\0\0\0RMIDjunk\xF7\xFF\xFF\xFFMThd", 24));
    std::string endless = MidiTempo(0, 0xFFFFFF);
    for (int i = 0; i < 2000; ++i) endless += MidiEvent(0x0FFFFFFF, {0xB0, 7, 100});
    folder_.Write("endless.mid", MidiFile(0, 1, {MidiTrack(endless + MidiEndOfTrack(0))}));
    folder_.Write("endless2.mid", MidiFile(2, 1, {MidiTrack(endless + MidiEndOfTrack(0)),
                                                  MidiTrack(endless + MidiEndOfTrack(0))}));
    for (const char* name : {"empty.mp3", "noise.mp3", "tag-only.mp3", "header-only.mid", "wrapped-riff.mid",
                             "endless.mid", "endless2.mid"}) {
        MCIDEVICEID id = 0;
        EXPECT_EQ(Open(name, id), static_cast<MCIERROR>(MCIERR_INVALID_FILE)) << name;
    }

    // Cut short after their headers were written: they play what is there and end where it ends.
    const auto tone = Tone(kOutputRate, 2, kOutputRate);
    ASSERT_TRUE(WriteSound(folder_.Path() / "full.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, kOutputRate, 2, tone));
    ASSERT_TRUE(WriteSound(folder_.Path() / "full.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, kOutputRate, 2, tone));
    ASSERT_TRUE(
        WriteSound(folder_.Path() / "full.mp3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, kOutputRate, 2, tone));
    for (const char* name : {"full.wav", "full.flac", "full.mp3"}) {
        std::string bytes = folder_.Read(name);
        folder_.Write(std::string("cut-") + name, bytes.substr(0, bytes.size() / 2));
    }
    std::string midi = TempoChangingMidi(0);
    folder_.Write("cut.mid", midi.substr(0, midi.size() - 6));  // the track's length runs past the end
    folder_.Write("header.wav", folder_.Read("full.wav").substr(0, 44));
    for (const char* name : {"cut-full.wav", "cut-full.flac", "cut-full.mp3", "cut.mid", "header.wav"}) {
        SCOPED_TRACE(name);
        MCIDEVICEID id = 0;
        ASSERT_EQ(Open(name, id), 0u);
        const DWORD length = Status(id, MCI_STATUS_LENGTH);
        EXPECT_LE(length, 1500u);
        EXPECT_EQ(Play(id), 0u);
        Pass(2000ms);
        EXPECT_EQ(TakeNotices(id), std::vector<WPARAM>{MCI_NOTIFY_SUCCESSFUL});
        EXPECT_EQ(Status(id, MCI_STATUS_MODE), static_cast<DWORD>(MCI_MODE_STOP));
        EXPECT_EQ(Status(id, MCI_STATUS_POSITION), Status(id, MCI_STATUS_LENGTH));
        EXPECT_EQ(Send(id, MCI_CLOSE), 0u);
    }

    // Not files at all: refused at once, without waiting for a writer.
    folder_.MakeFolder("folder.wav");
    ASSERT_EQ(mkfifo((folder_.Path() / "pipe.wav").c_str(), 0600), 0);
    for (const char* name : {"folder.wav", "pipe.wav"}) {
        MCIDEVICEID id = 0;
        EXPECT_EQ(Open(name, id), static_cast<MCIERROR>(MCIERR_FILE_READ)) << name;
    }
}

TEST_F(MciFormats, MidiWithoutASoundFontIsRefused) {
    folder_.Write("tune.mid", TempoChangingMidi());
    platform::mci::SetSoundFontPath((folder_.Path() / "missing.sf2").string());
    MCIDEVICEID id = 0;
    EXPECT_EQ(Open("tune.mid", id), static_cast<MCIERROR>(MCIERR_CANNOT_LOAD_DRIVER));
    platform::mci::SetSoundFontPath("/usr/share/sounds/sf2/default-GM.sf2");
    EXPECT_EQ(Open("tune.mid", id), 0u);
}
