#pragma once
// FluidSynth synthesizers with the General MIDI sound font loaded. The font is read when the first MIDI file is
// opened and kept: a closed MIDI device gives its synthesizer back, and the next MIDI file takes it again.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_hashtable_t fluid_settings_t;

namespace platform::mci {

struct FluidSynthLibrary;

class SynthPool {
  public:
    class Synth;
    struct Release {
        SynthPool* pool;
        void operator()(Synth* synth) const;
    };
    using Lease = std::unique_ptr<Synth, Release>;

    static SynthPool& Get();
    ~SynthPool();

    // A synthesizer at this rate; nullptr when the sound font cannot be loaded.
    Lease Acquire(int rate);
    // The sound font to load from now on (the system's General MIDI font by default).
    void SetSoundFontPath(std::string path);

  private:
    SynthPool();

    std::mutex mutex_;
    std::string fontPath_;
    std::vector<std::unique_ptr<Synth>> idle_;
};

class SynthPool::Synth {
  public:
    Synth(int rate, const std::string& fontPath);
    ~Synth();
    bool Loaded() const { return font_ >= 0; }
    fluid_synth_t* Get() const { return synth_; }
    const FluidSynthLibrary& Fluid() const { return *fluid_; }
    int Rate() const { return rate_; }
    const std::string& FontPath() const { return fontPath_; }

  private:
    int rate_;
    std::string fontPath_;
    const FluidSynthLibrary* fluid_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    int font_ = -1;
};

}  // namespace platform::mci
