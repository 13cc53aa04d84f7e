#include "platform/mci/outputs/OutputBackend.h"

#include "platform/mci/outputs/CaptureOutput.h"
#include "platform/mci/outputs/NullOutput.h"
#include "platform/mci/outputs/SdlOutput.h"

namespace platform::mci {

std::unique_ptr<OutputBackend> CreateOutput(const OutputChoice& choice, std::string& error) {
    const int rate = choice.rate > 0 ? choice.rate : 48000;
    if (choice.name == "sdl") return SdlOutput::Open(error);
    if (choice.name == "null") return std::make_unique<NullOutput>(rate);
    if (choice.name == "capture") return CaptureOutput::Open(choice.path, rate, error);
    error = "unknown sound output \"" + choice.name + "\" (known: sdl, null, capture)";
    return nullptr;
}

}  // namespace platform::mci
