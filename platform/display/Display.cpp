#include "platform/display/Display.h"

#include "platform/display/headless/HeadlessDisplay.h"
#include "platform/display/sdl/SdlDisplay.h"

namespace platform::display {

std::unique_ptr<DisplayBackend> CreateDisplayBackend(std::string_view name, std::string& error) {
    if (name == "sdl") return SdlDisplay::Create(error);
    if (name == "headless") return std::make_unique<HeadlessDisplay>();
    error = "unknown display backend \"" + std::string(name) + "\" (known: sdl, headless)";
    return nullptr;
}

}  // namespace platform::display
