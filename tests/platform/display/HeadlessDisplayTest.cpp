#include "platform/display/headless/HeadlessDisplay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/win32.h"
#include "tests/platform/display/WatchedWait.h"

namespace platform::display {
namespace {

using namespace std::chrono_literals;
using Kind = DisplayEvent::Kind;

DisplayEvent KeyDown(uint32_t window, int virtualKey) {
    DisplayEvent event;
    event.kind = Kind::Key;
    event.window = window;
    event.virtualKey = virtualKey;
    event.pressed = true;
    return event;
}

std::vector<DisplayEvent> Drain(HeadlessDisplay& display) {
    std::vector<DisplayEvent> events;
    display.WaitEvents(0ns, events);
    return events;
}

std::vector<std::pair<Kind, uint32_t>> KindsOf(const std::vector<DisplayEvent>& events) {
    std::vector<std::pair<Kind, uint32_t>> kinds;
    for (const DisplayEvent& event : events) kinds.emplace_back(event.kind, event.window);
    return kinds;
}

NativeWindowOptions Options(RECT bounds, bool popup = false) {
    NativeWindowOptions options;
    options.title = "Korvo";
    options.bounds = bounds;
    options.popup = popup;
    return options;
}

TEST(HeadlessDisplay, InjectedEventsArriveOnceInOrderAfterWhatIsAlreadyThere) {
    HeadlessDisplay display;
    std::vector<DisplayEvent> events(1);  // WaitEvents appends, it does not replace
    display.Inject(KeyDown(1, 'A'));
    DisplayEvent text;
    text.kind = Kind::Text;
    text.text = "あ";
    display.Inject(text);
    display.Inject(KeyDown(1, 'B'));
    display.WaitEvents(0ns, events);
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[1].virtualKey, 'A');
    EXPECT_EQ(events[2].text, "あ");
    EXPECT_EQ(events[3].virtualKey, 'B');
    EXPECT_TRUE(Drain(display).empty());
}

TEST(HeadlessDisplay, WaitEndsOnWakeOrInjectionFromAnotherThreadAndOtherwiseOnTimeout) {
    HeadlessDisplay display;
    std::vector<DisplayEvent> events;

    auto start = std::chrono::steady_clock::now();
    std::thread waker([&] {
        std::this_thread::sleep_for(50ms);
        display.Wake();
    });
    display.WaitEvents(10s, events);
    auto waited = std::chrono::steady_clock::now() - start;
    waker.join();
    EXPECT_GE(waited, 50ms);
    EXPECT_LT(waited, 5s);
    EXPECT_TRUE(events.empty());

    std::thread injector([&] {
        std::this_thread::sleep_for(50ms);
        display.Inject(KeyDown(7, VK_ESCAPE));
    });
    display.WaitEvents(std::nullopt, events);  // no timeout at all: only the injection can end it
    injector.join();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].window, 7u);

    // A wake that comes before the wait is not lost, and is used up by it.
    display.Wake();
    start = std::chrono::steady_clock::now();
    display.WaitEvents(10s, events);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    start = std::chrono::steady_clock::now();
    display.WaitEvents(100ms, events);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
    EXPECT_EQ(events.size(), 1u);
}

TEST(HeadlessDisplay, DescriptorsOfTheProgramsOwnEndAWait) {
    HeadlessDisplay display;
    ExpectWatchedDescriptorsEndWaits(display);
}

TEST(HeadlessDisplay, OnlyPresentedPartsReachTheScreen) {
    HeadlessDisplay display;
    auto window = display.CreateNativeWindow(Options({100, 100, 110, 108}));
    const uint32_t id = window->Id();
    ASSERT_NE(display.LastPresented(id), nullptr);
    EXPECT_EQ(display.LastPresented(id)->width, 10);
    EXPECT_EQ(display.LastPresented(id)->height, 8);

    gdi::Surface surface(10, 8, 0xFF0000);
    const RECT part{2, 2, 5, 5};
    window->Present(surface, std::span(&part, 1));
    const gdi::Surface& screen = *display.LastPresented(id);
    EXPECT_EQ(screen.At(2, 2), 0xFF0000u);
    EXPECT_EQ(screen.At(4, 4), 0xFF0000u);
    EXPECT_EQ(screen.At(5, 4), 0u);
    EXPECT_EQ(screen.At(4, 5), 0u);
    EXPECT_EQ(screen.At(0, 0), 0u);

    // Parts reaching past the window are cut at its edges; what was shown before stays.
    surface = gdi::Surface(10, 8, 0x0000FF);
    const RECT parts[] = {{-5, -5, 1, 1}, {8, 6, 100, 100}, {3, 3, 3, 9}};
    window->Present(surface, parts);
    EXPECT_EQ(screen.At(0, 0), 0x0000FFu);
    EXPECT_EQ(screen.At(1, 1), 0u);
    EXPECT_EQ(screen.At(9, 7), 0x0000FFu);
    EXPECT_EQ(screen.At(3, 3), 0xFF0000u);
    EXPECT_EQ(display.Window(id)->presentCount, 2);

    window->Present(surface, {});
    EXPECT_EQ(display.Window(id)->presentCount, 2);

    // A larger surface (the window grew) keeps the old pixels where they were.
    gdi::Surface larger(12, 9, 0x00FF00);
    const RECT corner{11, 8, 12, 9};
    window->Present(larger, std::span(&corner, 1));
    EXPECT_EQ(display.LastPresented(id)->width, 12);
    EXPECT_EQ(display.LastPresented(id)->At(2, 2), 0xFF0000u);
    EXPECT_EQ(display.LastPresented(id)->At(11, 8), 0x00FF00u);
    EXPECT_EQ(display.LastPresented(id)->At(10, 8), 0u);

    window.reset();
    EXPECT_EQ(display.LastPresented(id), nullptr);
    EXPECT_EQ(display.Window(id), nullptr);
}

TEST(HeadlessDisplay, WindowsGainAndLoseTheFocusAsUnderAWindowManager) {
    HeadlessDisplay display;
    auto main = display.CreateNativeWindow(Options({0, 0, 300, 500}));
    auto dialog = display.CreateNativeWindow(Options({50, 50, 250, 150}));
    auto list = display.CreateNativeWindow(Options({10, 40, 110, 140}, true));
    const uint32_t a = main->Id(), b = dialog->Id(), p = list->Id();
    EXPECT_EQ(display.WindowIds(), (std::vector<uint32_t>{a, b, p}));
    EXPECT_FALSE(display.Window(a)->shown);

    main->Activate();  // hidden windows cannot be activated
    main->Show(true);
    EXPECT_EQ(KindsOf(Drain(display)), (std::vector<std::pair<Kind, uint32_t>>{{Kind::FocusGained, a}}));
    EXPECT_TRUE(display.Window(a)->shown);

    dialog->Show(true);
    list->Show(true);  // a popup never takes the focus
    list->Activate();
    EXPECT_EQ(KindsOf(Drain(display)),
              (std::vector<std::pair<Kind, uint32_t>>{{Kind::FocusLost, a}, {Kind::FocusGained, b}}));
    EXPECT_EQ(display.ActiveWindow(), b);
    EXPECT_FALSE(display.Window(a)->active);
    EXPECT_TRUE(display.Window(b)->active);

    dialog->Minimize();
    dialog->Minimize();
    EXPECT_EQ(KindsOf(Drain(display)),
              (std::vector<std::pair<Kind, uint32_t>>{{Kind::Minimized, b}, {Kind::FocusLost, b}}));
    EXPECT_TRUE(display.Window(b)->minimized);
    EXPECT_EQ(display.ActiveWindow(), 0u);

    dialog->Activate();  // brings it back first
    EXPECT_EQ(KindsOf(Drain(display)),
              (std::vector<std::pair<Kind, uint32_t>>{{Kind::Restored, b}, {Kind::FocusGained, b}}));
    EXPECT_FALSE(display.Window(b)->minimized);

    dialog->Hide();
    main->SetBounds({20, 30, 320, 530});
    main->SetBounds({20, 30, 330, 540});  // a resize alone is no move
    main->SetTitle("曲名");
    const auto events = Drain(display);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, Kind::FocusLost);
    EXPECT_EQ(events[1].kind, Kind::Moved);
    EXPECT_EQ(events[1].x, 20);
    EXPECT_EQ(events[1].y, 30);
    EXPECT_EQ(display.Window(a)->bounds.right, 330);
    EXPECT_EQ(display.Window(a)->title, "曲名");

    main->Activate();
    Drain(display);
    main.reset();  // destroying the active window leaves none active
    EXPECT_EQ(display.ActiveWindow(), 0u);
    EXPECT_EQ(display.WindowIds(), (std::vector<uint32_t>{b, p}));
}

TEST(HeadlessDisplay, KeepsCursorCaptureTextInputAndClipboardForAssertions) {
    HeadlessDisplay display;
    EXPECT_EQ(display.ScreenSize().cx, 1280);
    EXPECT_EQ(display.ScreenSize().cy, 1024);
    display.SetScreenSize({800, 600});
    EXPECT_EQ(display.ScreenSize().cx, 800);
    display.SetCursorPosition({17, 23});
    EXPECT_EQ(display.CursorPosition().x, 17);
    EXPECT_EQ(display.CursorPosition().y, 23);

    display.SetCursor(CursorShape::IBeam);
    EXPECT_EQ(display.Cursor(), CursorShape::IBeam);
    display.CaptureMouse(true);
    EXPECT_TRUE(display.MouseCaptured());
    display.CaptureMouse(false);
    EXPECT_FALSE(display.MouseCaptured());

    display.StartTextInput({40, 50, 41, 66});
    EXPECT_TRUE(display.TextInputActive());
    EXPECT_EQ(display.TextInputRect().bottom, 66);
    display.StopTextInput();
    EXPECT_FALSE(display.TextInputActive());

    EXPECT_EQ(display.ClipboardText(), "");
    display.SetClipboardText("C:\\My Documents\\曲.mp3");
    EXPECT_EQ(display.ClipboardText(), "C:\\My Documents\\曲.mp3");
}

TEST(DisplayBackend, FactoryPicksTheBackendByName) {
    std::string error;
    auto headless = CreateDisplayBackend("headless", error);
    ASSERT_NE(headless, nullptr);
    EXPECT_EQ(headless->Name(), "headless");

    EXPECT_EQ(CreateDisplayBackend("gdi", error), nullptr);
    EXPECT_NE(error.find("gdi"), std::string::npos);
}

}  // namespace
}  // namespace platform::display
