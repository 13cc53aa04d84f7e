#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "platform/display/Display.h"
#include "tests/platform/display/WatchedWait.h"
#include "tests/support/ScreenDump.h"
#include "tests/support/Environment.h"

namespace platform::display {
namespace {

using namespace std::chrono_literals;

std::string openError;

std::unique_ptr<DisplayBackend> OpenDesktop() {
    openError.clear();
    return CreateDisplayBackend("sdl", openError);
}

// Where the whole of `part` is on the screen, pixel for pixel.
std::optional<POINT> Find(const gdi::Surface& screen, const gdi::Surface& part) {
    const uint32_t first = part.At(0, 0);
    for (int y = 0; y + part.height <= screen.height; ++y)
        for (int x = 0; x + part.width <= screen.width; ++x) {
            if (screen.At(x, y) != first) continue;
            bool same = true;
            for (int v = 0; v < part.height && same; ++v)
                for (int u = 0; u < part.width && same; ++u) same = screen.At(x + u, y + v) == part.At(u, v);
            if (same) return POINT{x, y};
        }
    return std::nullopt;
}

// Without a display there is nothing to test; with one named, a backend that cannot open it is broken.
#define SKIP_WITHOUT_DESKTOP(display)                                                                   \
    if (!(display)) {                                                                                 \
        if (std::getenv("DISPLAY")) FAIL() << "DISPLAY is " << std::getenv("DISPLAY") << ": " << openError; \
        GTEST_SKIP() << "no display to open windows on";                                              \
    }

TEST(SdlDisplay, WithoutADisplayItSaysSoInsteadOfFailing) {
    {
        Environment display("DISPLAY", std::nullopt);
        Environment wayland("WAYLAND_DISPLAY", std::nullopt);
        Environment driver("SDL_VIDEODRIVER", std::nullopt);
        std::string error;
        EXPECT_EQ(CreateDisplayBackend("sdl", error), nullptr);
        EXPECT_EQ(error.rfind("no display: ", 0), 0u) << error;
    }
    {
        // A display that is named but not there: SDL itself fails to start.
        Environment display("DISPLAY", ":4093");
        Environment wayland("WAYLAND_DISPLAY", std::nullopt);
        Environment driver("SDL_VIDEODRIVER", "x11");
        std::string error;
        EXPECT_EQ(CreateDisplayBackend("sdl", error), nullptr);
        EXPECT_EQ(error.rfind("no display: ", 0), 0u) << error;
    }
}

TEST(SdlDisplay, AWindowShowsItsPixelsAndHearsFromTheDesktop) {
    auto display = OpenDesktop();
    SKIP_WITHOUT_DESKTOP(display);
    NativeWindowOptions options;
    options.title = "Korvo テスト";
    options.bounds = {40, 40, 240, 140};
    auto window = display->CreateNativeWindow(options);
    ASSERT_NE(window, nullptr);
    options.popup = true;
    options.bounds = {60, 60, 160, 200};
    auto popup = display->CreateNativeWindow(options);
    ASSERT_NE(popup, nullptr);
    EXPECT_NE(window->Id(), popup->Id());

    window->Show(true);
    // A field of one colour with a block of another, so that the window's pixels can be found on the screen.
    gdi::Surface surface(200, 100, 0x2468AC);
    for (int y = 20; y < 40; ++y)
        for (int x = 30; x < 70; ++x) surface.Row(y)[x] = 0xF0E0D0;
    const RECT parts[] = {{0, 0, 200, 100}, {150, 50, 400, 400}};
    window->Present(surface, parts);
    window->SetTitle("曲名");
    window->SetBounds({50, 50, 250, 150});

    // A bare X server gives a newly shown window the keyboard at once; a window manager at least exposes it.
    bool heard = false;
    std::vector<DisplayEvent> events;
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    while (!heard && std::chrono::steady_clock::now() < deadline) {
        events.clear();
        display->WaitEvents(100ms, events);
        for (const DisplayEvent& event : events) {
            if (event.window != window->Id()) continue;
            if (event.kind == DisplayEvent::Kind::Exposed || event.kind == DisplayEvent::Kind::FocusGained) {
                heard = true;
                window->Present(surface, parts);
            }
        }
    }
    EXPECT_TRUE(heard);

    // The X server shows those pixels where the window was placed.
    std::optional<POINT> found;
    for (const auto until = std::chrono::steady_clock::now() + 5s; !found && std::chrono::steady_clock::now() < until;) {
        window->Present(surface, parts);
        events.clear();
        display->WaitEvents(50ms, events);
        if (auto screen = ReadScreen()) found = Find(*screen, surface);
    }
    ASSERT_TRUE(found) << "the window's pixels are not on the screen";
    EXPECT_EQ(found->x, 50);
    EXPECT_EQ(found->y, 50);

    // Opening the popup must not take the focus from its owner, with or without a window manager.
    popup->Show(false);
    popup->Present(gdi::Surface(100, 140, 0xFFFFFF), std::span(parts, 1));
    events.clear();
    display->WaitEvents(300ms, events);
    for (const DisplayEvent& event : events) {
        EXPECT_FALSE(event.kind == DisplayEvent::Kind::FocusLost && event.window == window->Id());
        EXPECT_FALSE(event.kind == DisplayEvent::Kind::FocusGained && event.window == popup->Id());
    }
    popup->Hide();

    EXPECT_GT(display->ScreenSize().cx, 0);
    display->SetCursor(CursorShape::IBeam);
    display->SetCursor(CursorShape::Arrow);
    display->SetClipboardText("C:\\My Documents\\曲.mp3");
    EXPECT_EQ(display->ClipboardText(), "C:\\My Documents\\曲.mp3");
}

TEST(SdlDisplay, WakeFromAnotherThreadEndsAWait) {
    auto display = OpenDesktop();
    SKIP_WITHOUT_DESKTOP(display);
    std::vector<DisplayEvent> events;
    display->WaitEvents(0ns, events);

    auto start = std::chrono::steady_clock::now();
    std::thread waker([&] {
        std::this_thread::sleep_for(100ms);
        display->Wake();
    });
    display->WaitEvents(10s, events);
    waker.join();
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 100ms);
    EXPECT_LT(waited, 5s);

    // However many wakes pile up, one wait uses them all and the next one waits its full time.
    for (int i = 0; i < 1000; ++i) display->Wake();
    start = std::chrono::steady_clock::now();
    display->WaitEvents(10s, events);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    start = std::chrono::steady_clock::now();
    display->WaitEvents(200ms, events);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 200ms);
}

TEST(SdlDisplay, DescriptorsOfTheProgramsOwnEndAWait) {
    auto display = OpenDesktop();
    SKIP_WITHOUT_DESKTOP(display);
    ExpectWatchedDescriptorsEndWaits(*display);
}

TEST(SdlDisplay, HighDensityScaleShrinksTheScreenTheWindowSystemSees) {
    SIZE unscaled{};
    {
        Environment scale("KORVO_DISPLAY_SCALE", "1");
        auto display = OpenDesktop();
        SKIP_WITHOUT_DESKTOP(display);
        unscaled = display->ScreenSize();
    }
    Environment scale("KORVO_DISPLAY_SCALE", "2");
    auto display = OpenDesktop();
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->ScreenSize().cx, unscaled.cx / 2);
    EXPECT_EQ(display->ScreenSize().cy, unscaled.cy / 2);
}

}  // namespace
}  // namespace platform::display
