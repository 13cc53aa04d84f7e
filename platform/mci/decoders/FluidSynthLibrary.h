#pragma once
// FluidSynth, loaded when the first MIDI file is opened rather than when the program starts: the library and what
// it pulls in (sound servers, GLib, JACK...) would cost every start several megabytes and milliseconds, and most
// sessions never play a MIDI file. Its header still gives the types and constants.

#include <fluidsynth.h>

namespace platform::mci {

#define KORVO_FLUIDSYNTH_FUNCTIONS(X)                                                                               \
    X(new_fluid_settings)                                                                                          \
    X(delete_fluid_settings)                                                                                       \
    X(fluid_settings_setint)                                                                                       \
    X(fluid_settings_setnum)                                                                                       \
    X(new_fluid_synth)                                                                                             \
    X(delete_fluid_synth)                                                                                          \
    X(fluid_synth_sfload)                                                                                          \
    X(fluid_synth_system_reset)                                                                                    \
    X(fluid_synth_noteon)                                                                                          \
    X(fluid_synth_noteoff)                                                                                         \
    X(fluid_synth_key_pressure)                                                                                    \
    X(fluid_synth_cc)                                                                                              \
    X(fluid_synth_program_change)                                                                                  \
    X(fluid_synth_channel_pressure)                                                                                \
    X(fluid_synth_pitch_bend)                                                                                      \
    X(fluid_synth_sysex)                                                                                           \
    X(fluid_synth_write_float)                                                                                     \
    X(fluid_set_log_function)

struct FluidSynthLibrary {
#define KORVO_FLUIDSYNTH_POINTER(name) decltype(&::name) name = nullptr;
    KORVO_FLUIDSYNTH_FUNCTIONS(KORVO_FLUIDSYNTH_POINTER)
#undef KORVO_FLUIDSYNTH_POINTER

    // The library, loaded by the first call (from any thread); nullptr when it cannot be loaded, which makes MIDI
    // files unplayable as a missing sound font does.
    static const FluidSynthLibrary* Get();
};

}  // namespace platform::mci
