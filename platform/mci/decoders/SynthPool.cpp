#include "platform/mci/decoders/SynthPool.h"

#include "platform/mci/decoders/FluidSynthLibrary.h"

namespace platform::mci {
namespace {

constexpr const char* kDefaultFont = "/usr/share/sounds/sf2/default-GM.sf2";

}  // namespace

SynthPool::Synth::Synth(int rate, const std::string& fontPath)
    : rate_(rate), fontPath_(fontPath), fluid_(FluidSynthLibrary::Get()) {
    if (!fluid_) return;
    settings_ = fluid_->new_fluid_settings();
    if (!settings_) return;
    fluid_->fluid_settings_setnum(settings_, "synth.sample-rate", rate);
    // Every call comes from the thread that holds the stream's decoding lock, so FluidSynth's own locking is
    // only cost.
    fluid_->fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
    fluid_->fluid_settings_setnum(settings_, "synth.gain", 0.5);
    synth_ = fluid_->new_fluid_synth(settings_);
    if (synth_) font_ = fluid_->fluid_synth_sfload(synth_, fontPath.c_str(), 1);
}

SynthPool::Synth::~Synth() {
    if (synth_) fluid_->delete_fluid_synth(synth_);
    if (settings_) fluid_->delete_fluid_settings(settings_);
}

void SynthPool::Release::operator()(Synth* synth) const {
    std::unique_ptr<Synth> owned(synth);
    synth->Fluid().fluid_synth_system_reset(synth->Get());
    std::lock_guard lock(pool->mutex_);
    if (synth->FontPath() == pool->fontPath_) pool->idle_.push_back(std::move(owned));
}

SynthPool& SynthPool::Get() {
    static SynthPool pool;
    return pool;
}

SynthPool::SynthPool() : fontPath_(kDefaultFont) {}

SynthPool::~SynthPool() = default;

SynthPool::Lease SynthPool::Acquire(int rate) {
    std::string fontPath;
    {
        std::lock_guard lock(mutex_);
        for (auto it = idle_.begin(); it != idle_.end(); ++it)
            if ((*it)->Rate() == rate) {
                Lease lease((*it).release(), Release{this});
                idle_.erase(it);
                return lease;
            }
        fontPath = fontPath_;
    }
    auto synth = std::make_unique<Synth>(rate, fontPath);
    if (!synth->Loaded()) return Lease(nullptr, Release{this});
    return Lease(synth.release(), Release{this});
}

void SynthPool::SetSoundFontPath(std::string path) {
    std::lock_guard lock(mutex_);
    if (path == fontPath_) return;
    fontPath_ = std::move(path);
    idle_.clear();
}

}  // namespace platform::mci
