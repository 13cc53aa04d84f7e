#include "platform/display/sdl/SdlWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/kernel/Names.h"

namespace platform::display {
namespace {

// Copies one part, already clipped to both sides, into a 32-bit target whose channels sit where ours do, starting
// at the part's top left corner.
void CopyScaled(const gdi::Surface& surface, const RECT& part, int scale, uint32_t alpha, uint8_t* target, int pitch) {
    const int width = part.right - part.left;
    for (int y = part.top; y < part.bottom; ++y) {
        const uint32_t* source = surface.Row(y) + part.left;
        auto* first = reinterpret_cast<uint32_t*>(target + static_cast<size_t>(y - part.top) * scale * pitch);
        uint32_t* out = first;
        for (int x = 0; x < width; ++x) {
            const uint32_t pixel = source[x] | alpha;
            for (int i = 0; i < scale; ++i) *out++ = pixel;
        }
        for (int i = 1; i < scale; ++i) {
            std::memcpy(reinterpret_cast<uint8_t*>(first) + static_cast<size_t>(i) * pitch, first,
                        static_cast<size_t>(width) * scale * sizeof(uint32_t));
        }
    }
}

// The part of `part` inside a surface of width × height, empty when none is.
RECT ClipTo(const RECT& part, int width, int height) {
    return RECT{std::max<LONG>(part.left, 0), std::max<LONG>(part.top, 0), std::min<LONG>(part.right, width),
                std::min<LONG>(part.bottom, height)};
}

bool IsEmpty(const RECT& rect) { return rect.left >= rect.right || rect.top >= rect.bottom; }

}  // namespace

void SdlWindowDeleter::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }

std::unique_ptr<SdlWindow> SdlWindow::Create(const NativeWindowOptions& options, int scale) {
    Uint32 flags = SDL_WINDOW_HIDDEN;
    // A popup is override-redirect on X11: no frame, no taskbar entry, and the window manager neither moves it
    // nor gives it the keyboard.
    if (options.popup) flags |= SDL_WINDOW_POPUP_MENU | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SKIP_TASKBAR;
    if (options.resizable) flags |= SDL_WINDOW_RESIZABLE;
    const RECT& bounds = options.bounds;
    SdlWindowHandle window(SDL_CreateWindow(kernel::ShownText(options.title).c_str(), bounds.left * scale, bounds.top * scale,
                                            std::max<int>(1, (bounds.right - bounds.left) * scale),
                                            std::max<int>(1, (bounds.bottom - bounds.top) * scale), flags));
    if (!window) return nullptr;
    auto painter = X11Painter::For(window.get());
    return std::unique_ptr<SdlWindow>(new SdlWindow(std::move(window), std::move(painter), options, scale));
}

SdlWindow::SdlWindow(SdlWindowHandle window, std::unique_ptr<X11Painter> painter, const NativeWindowOptions& options,
                     int scale)
    : window_(std::move(window)),
      painter_(std::move(painter)),
      id_(SDL_GetWindowID(window_.get())),
      title_(options.title),
      bounds_(options.bounds),
      popup_(options.popup),
      scale_(scale) {}

void SdlWindow::SetTitle(std::string_view title) {
    if (title_ == title) return;
    title_ = title;
    // The window manager takes only valid UTF-8, and shows a file name's carried characters as they are.
    SDL_SetWindowTitle(window_.get(), kernel::ShownText(title_).c_str());
}

void SdlWindow::SetBounds(const RECT& clientOnScreen) {
    const RECT old = bounds_;
    bounds_ = clientOnScreen;
    // Each of these waits for the X server, and moving waits for the window manager too: skip what is unchanged.
    if (clientOnScreen.left != old.left || clientOnScreen.top != old.top) {
        SDL_SetWindowPosition(window_.get(), clientOnScreen.left * scale_, clientOnScreen.top * scale_);
    }
    const int width = clientOnScreen.right - clientOnScreen.left;
    const int height = clientOnScreen.bottom - clientOnScreen.top;
    if (width != old.right - old.left || height != old.bottom - old.top) {
        SDL_SetWindowSize(window_.get(), std::max(1, width * scale_), std::max(1, height * scale_));
    }
}

void SdlWindow::Show(bool activate) {
    SDL_ShowWindow(window_.get());
    if (activate && !popup_) SDL_RaiseWindow(window_.get());
}

void SdlWindow::Hide() { SDL_HideWindow(window_.get()); }

void SdlWindow::Minimize() { SDL_MinimizeWindow(window_.get()); }

void SdlWindow::Restore() { SDL_RestoreWindow(window_.get()); }

void SdlWindow::Activate() {
    const Uint32 flags = SDL_GetWindowFlags(window_.get());
    if (popup_ || !(flags & SDL_WINDOW_SHOWN)) return;
    if (flags & SDL_WINDOW_MINIMIZED) SDL_RestoreWindow(window_.get());
    // Raising asks the window manager for the focus. Without one (a bare X server, as in the end-to-end tests)
    // nobody would hand it over, so the window takes it itself. Only then: under a reparenting window manager the
    // X server refuses the request, fatally, while the frame is not yet on screen. A window without a frame is
    // the sign that there is no such manager.
    SDL_RaiseWindow(window_.get());
    int top = 0, left = 0, bottom = 0, right = 0;
    const bool framed = SDL_GetWindowBordersSize(window_.get(), &top, &left, &bottom, &right) == 0 &&
                        (top | left | bottom | right) != 0;
    if (!framed && !(flags & SDL_WINDOW_MINIMIZED)) SDL_SetWindowInputFocus(window_.get());
}

void SdlWindow::Present(const gdi::Surface& surface, std::span<const RECT> parts) {
    if (!painter_) return PresentThroughSdl(surface, parts);
    // The server clips to the window, which may lag behind a resize.
    for (const RECT& part : parts) {
        const RECT clipped = ClipTo(part, surface.width, surface.height);
        if (IsEmpty(clipped)) continue;
        const int width = clipped.right - clipped.left;
        const int height = clipped.bottom - clipped.top;
        if (scale_ == 1) {
            painter_->Put(surface.pixels.data(), surface.width, surface.height,
                          {clipped.left, clipped.top, width, height}, clipped.left, clipped.top);
            continue;
        }
        scaled_.resize(static_cast<size_t>(width) * height * scale_ * scale_);
        CopyScaled(surface, clipped, scale_, 0, reinterpret_cast<uint8_t*>(scaled_.data()), width * scale_ * 4);
        painter_->Put(scaled_.data(), width * scale_, height * scale_, {0, 0, width * scale_, height * scale_},
                      clipped.left * scale_, clipped.top * scale_);
    }
    // Sent now rather than at the loop's next wait: a long piece of work may present without waiting.
    painter_->Flush();
}

void SdlWindow::PresentThroughSdl(const gdi::Surface& surface, std::span<const RECT> parts) {
    SDL_Surface* target = SDL_GetWindowSurface(window_.get());
    if (!target) return;
    // The window may lag behind a resize; show what fits.
    const int width = std::min(surface.width, target->w / scale_);
    const int height = std::min(surface.height, target->h / scale_);
    const Uint32 format = target->format->format;
    const bool direct = format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
    const uint32_t alpha = format == SDL_PIXELFORMAT_ARGB8888 ? 0xFF000000u : 0u;

    std::vector<SDL_Rect> updated;
    updated.reserve(parts.size());
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    for (const RECT& part : parts) {
        const RECT clipped = ClipTo(part, width, height);
        if (IsEmpty(clipped)) continue;
        const SDL_Rect rect{clipped.left * scale_, clipped.top * scale_, (clipped.right - clipped.left) * scale_,
                            (clipped.bottom - clipped.top) * scale_};
        auto* destination = static_cast<uint8_t*>(target->pixels) + static_cast<size_t>(rect.y) * target->pitch +
                            static_cast<size_t>(rect.x) * target->format->BytesPerPixel;
        if (direct) {
            CopyScaled(surface, clipped, scale_, alpha, destination, target->pitch);
        } else {
            // Any other layout (a 16-bit X server, say) goes through SDL's converter, one part at a time.
            scaled_.resize(static_cast<size_t>(rect.w) * rect.h);
            CopyScaled(surface, clipped, scale_, 0, reinterpret_cast<uint8_t*>(scaled_.data()), rect.w * 4);
            SDL_ConvertPixels(rect.w, rect.h, SDL_PIXELFORMAT_RGB888, scaled_.data(), rect.w * 4, format, destination,
                              target->pitch);
        }
        updated.push_back(rect);
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    if (!updated.empty()) SDL_UpdateWindowSurfaceRects(window_.get(), updated.data(), static_cast<int>(updated.size()));
}

void SdlWindow::SetIcon(const gdi::Surface& icon) {
    if (icon.width <= 0 || icon.height <= 0) return;
    // SDL copies the pixels into the window's icon property, so the surface only lends them for the call.
    std::unique_ptr<SDL_Surface, decltype(&SDL_FreeSurface)> picture(
        SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(icon.pixels.data()), icon.width, icon.height, 32,
                                           icon.width * 4, SDL_PIXELFORMAT_ARGB8888),
        &SDL_FreeSurface);
    if (picture) SDL_SetWindowIcon(window_.get(), picture.get());
}

}  // namespace platform::display
