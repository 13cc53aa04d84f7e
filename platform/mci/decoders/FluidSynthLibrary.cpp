#include "platform/mci/decoders/FluidSynthLibrary.h"

#include <dlfcn.h>

#include <initializer_list>

namespace platform::mci {
namespace {

const FluidSynthLibrary* Load() {
    static FluidSynthLibrary library;
    void* handle = nullptr;
    // The run-time name first; the development link serves a build whose library has another version.
    for (const char* name : {"libfluidsynth.so.3", "libfluidsynth.so"})
        if ((handle = dlopen(name, RTLD_NOW | RTLD_LOCAL))) break;
    if (!handle) return nullptr;
#define KORVO_FLUIDSYNTH_RESOLVE(name)                                                        \
    library.name = reinterpret_cast<decltype(library.name)>(dlsym(handle, #name));            \
    if (!library.name) return nullptr;
    KORVO_FLUIDSYNTH_FUNCTIONS(KORVO_FLUIDSYNTH_RESOLVE)
#undef KORVO_FLUIDSYNTH_RESOLVE
    // The library's messages would go to the terminal; failures reach the program as MCI error codes instead.
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        library.fluid_set_log_function(level, nullptr, nullptr);
    return &library;
}

}  // namespace

const FluidSynthLibrary* FluidSynthLibrary::Get() {
    static const FluidSynthLibrary* library = Load();
    return library;
}

}  // namespace platform::mci
