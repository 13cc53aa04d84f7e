#include "tests/e2e/PlayerScreen.h"

namespace e2e {

std::string WindowName(const std::string& id) {
    std::string name = RunProgram({"xdotool", "getwindowname", id});
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
    return name;
}

bool WaitForName(const std::string& id, const std::string& name) {
    return WaitUntil([&] { return WindowName(id) == name; });
}

std::string LitButtons(const platform::gdi::Surface& screen, int windowX, int windowY) {
    std::string lit;
    for (int left : {kPlay, kPause, kStop}) {
        bool coloured = false;
        // Inside the button's edges, where only its glyph and face are.
        for (int y = kButtonRow - 9; y < kButtonRow + 9 && !coloured; ++y)
            for (int x = ButtonColumn(left) - 9; x < ButtonColumn(left) + 9 && !coloured; ++x) {
                if (windowX + x < 0 || windowY + y < 0 || windowX + x >= screen.width || windowY + y >= screen.height)
                    return {};
                uint32_t c = screen.At(windowX + x, windowY + y);
                coloured = ((c >> 16) & 0xFF) != ((c >> 8) & 0xFF) || ((c >> 8) & 0xFF) != (c & 0xFF);
            }
        lit += coloured ? '1' : '0';
    }
    return lit;
}

std::optional<platform::gdi::Surface> WaitForButtons(const VirtualXServer& server, const std::string& id,
                                                     const std::string& lit, std::string& seen) {
    std::optional<platform::gdi::Surface> screen;
    bool shown = WaitUntil([&] {
        int x = 0, y = 0;
        screen = server.Screen();
        seen = screen && server.WindowPosition(id, x, y) ? LitButtons(*screen, x, y) : "(no screen)";
        return seen == lit;
    });
    return shown ? screen : std::nullopt;
}

std::uintmax_t SizeOf(const std::filesystem::path& file) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    return error ? 0 : size;
}

bool WaitForSound(const std::filesystem::path& file, std::uintmax_t bytes) {
    const std::uintmax_t start = SizeOf(file);
    return WaitUntil([&] { return SizeOf(file) >= start + bytes; });
}

}  // namespace e2e
