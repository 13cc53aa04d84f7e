#pragma once
// A top-level window on the desktop through SDL. Its pixels go to SDL's window surface, which on X11 is a
// shared-memory image: Present copies and sends only the parts it is given. On a high-density screen every pixel
// of ours becomes a square of scale × scale.

#include <memory>
#include <string>

#include "platform/display/Display.h"

struct SDL_Window;

namespace platform::display {

struct SdlWindowDeleter {
    void operator()(SDL_Window* window) const;
};
using SdlWindowHandle = std::unique_ptr<SDL_Window, SdlWindowDeleter>;

class SdlWindow : public NativeWindow {
  public:
    // Nothing when the window cannot be made; SDL_GetError tells why.
    static std::unique_ptr<SdlWindow> Create(const NativeWindowOptions& options, int scale);

    uint32_t Id() const override { return id_; }
    void SetTitle(std::string_view title) override;
    void SetBounds(const RECT& clientOnScreen) override;
    void Show(bool activate) override;
    void Hide() override;
    void Minimize() override;
    void Restore() override;
    void Activate() override;
    void Present(const gdi::Surface& surface, std::span<const RECT> parts) override;
    // SDL cannot take an icon away again: an empty one leaves the last in place.
    void SetIcon(const gdi::Surface& icon) override;

  private:
    SdlWindow(SdlWindowHandle window, const NativeWindowOptions& options, int scale);

    SdlWindowHandle window_;
    uint32_t id_;
    std::string title_;
    RECT bounds_;
    bool popup_;
    int scale_;
};

}  // namespace platform::display
