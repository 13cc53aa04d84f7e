#pragma once
// A top-level window on the desktop through SDL. Present sends only the parts it is given: on X11 straight from our
// pixels to the window, elsewhere (Wayland, an X server whose pixels are laid out otherwise) through SDL's window
// surface. On a high-density screen every pixel of ours becomes a square of scale × scale.

#include <memory>
#include <string>
#include <vector>

#include "platform/display/Display.h"
#include "platform/display/sdl/X11Connection.h"

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
    SdlWindow(SdlWindowHandle window, std::unique_ptr<X11Painter> painter, const NativeWindowOptions& options,
              int scale);
    void PresentThroughSdl(const gdi::Surface& surface, std::span<const RECT> parts);

    SdlWindowHandle window_;
    // Declared after the window, so that it goes first: it draws with the window's own connection.
    std::unique_ptr<X11Painter> painter_;
    std::vector<uint32_t> scaled_;  // a part's pixels made scale times larger, kept between frames
    uint32_t id_;
    std::string title_;
    RECT bounds_;
    bool popup_;
    int scale_;
};

}  // namespace platform::display
