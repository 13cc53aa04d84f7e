#pragma once
// Media files made by the tests themselves: sounds written with libsndfile (WAV, AIFF, AU, FLAC, Ogg Vorbis and,
// through its LAME encoder, MP3) and MIDI files put together byte by byte.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A tone that starts at full swing (never at zero), so that its first frame can be found in captured sound.
std::vector<float> Tone(int rate, int channels, int64_t frames, double frequency = 440.0);

// Writes the samples with libsndfile in `format` (SF_FORMAT_* container and encoding); `variableBitrate` for MP3.
bool WriteSound(const std::filesystem::path& path, int format, int rate, int channels,
                const std::vector<float>& samples, bool variableBitrate = false);
std::vector<float> ReadSound(const std::filesystem::path& path, int& rate, int& channels);

// MIDI files: a track is a list of events already in file form; these helpers make the common ones.
std::string MidiNumber(uint32_t value);
std::string MidiEvent(uint32_t delta, std::initializer_list<int> bytes);
std::string MidiTempo(uint32_t delta, uint32_t microsecondsPerQuarter);
std::string MidiEndOfTrack(uint32_t delta);
std::string MidiTrack(const std::string& events);
std::string MidiFile(int format, int division, const std::vector<std::string>& tracks);
