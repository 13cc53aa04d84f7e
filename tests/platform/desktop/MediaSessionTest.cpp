// A window's media session on a session bus of the test's own, asked with busctl as a desktop would ask: what it
// answers from what the window published, what its requests become, and when the name comes and goes.

#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "platform/desktop/MediaSession.h"
#include "platform/testing/Desktop.h"
#include "tests/support/Environment.h"
#include "tests/support/PrivateBus.h"

using namespace platform::testing;
using namespace std::chrono_literals;

namespace {

std::string Output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[4096];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, got);
        pclose(pipe);
    }
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

// A window of the test's whose queue a finished question wakes.
HWND asker = nullptr;

// busctl blocks until the session answers, and the session answers from the message loop: the loop runs here
// while busctl runs on another thread.
std::string Ask(const std::string& arguments) {
    auto answer = std::async(std::launch::async, [&] {
        std::string text = Output("busctl --user --json=short " + arguments);
        PostMessageA(asker, WM_NULL, 0, 0);
        return text;
    });
    RunUntil([&] { return answer.wait_for(0s) == std::future_status::ready; }, 30s);
    return answer.get();
}

std::string Property(const std::string& service, const std::string& name) {
    return Ask("get-property " + service + " /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player " + name);
}

std::vector<LPARAM> commands;

LRESULT CALLBACK PlayerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APPCOMMAND) {
        commands.push_back(lParam);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class MediaSession : public ::testing::Test {
  protected:
    MediaSession() {
        UseHeadlessDisplay();
        WNDCLASSA cls{};
        cls.lpfnWndProc = PlayerProcedure;
        cls.lpszClassName = "MediaSessionPlayer";
        RegisterClassA(&cls);
        commands.clear();
    }
    ~MediaSession() override {
        ResetDesktop();
        UnregisterClassA("MediaSessionPlayer", nullptr);
    }

    static HWND Player() {
        return asker = CreateWindowExA(0, "MediaSessionPlayer", "player", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
    }

    static MEDIASESSIONA Shows(const char* title, DWORD state, DWORD flags) {
        MEDIASESSIONA session{};
        session.lpszName = "korvotest";
        session.lpszIdentity = "Test Player";
        session.dwState = state;
        session.dwFlags = flags;
        session.lpszTitle = title;
        session.lpszFolder = "C:\\tmp\\曲 集";
        session.dwLength = 61500;
        session.dwPosition = 1250;
        return session;
    }

    static constexpr const char* kService = "org.mpris.MediaPlayer2.korvotest";
};

}  // namespace

TEST_F(MediaSession, TheDesktopReadsWhatTheWindowPublishedAndItsRequestsComeBackAsAppCommands) {
    PrivateBus bus;
    ASSERT_TRUE(bus.Running());
    HWND player = Player();
    MEDIASESSIONA session = Shows("a b#.wav", MEDIASTATE_STOPPED, MEDIAFLAG_CANPLAY | MEDIAFLAG_CANGONEXT);
    ASSERT_TRUE(SetMediaSessionA(player, &session));

    EXPECT_EQ(Property(kService, "PlaybackStatus"), R"({"type":"s","data":"Stopped"})");
    EXPECT_EQ(Property(kService, "CanPlay"), R"({"type":"b","data":true})");
    EXPECT_EQ(Property(kService, "CanPause"), R"({"type":"b","data":false})");
    EXPECT_EQ(Property(kService, "CanGoPrevious"), R"({"type":"b","data":false})");
    EXPECT_EQ(Property(kService, "Position"), R"({"type":"x","data":1250000})");
    // The folder as the desktop's path, and an address that survives blanks, "#" and any script.
    const std::string metadata = Property(kService, "Metadata");
    EXPECT_NE(metadata.find(R"("xesam:title":{"type":"s","data":"a b#.wav"})"), std::string::npos) << metadata;
    EXPECT_NE(metadata.find(R"("xesam:album":{"type":"s","data":"/tmp/曲 集"})"), std::string::npos) << metadata;
    EXPECT_NE(metadata.find(R"(file:///tmp/%E6%9B%B2%20%E9%9B%86/a%20b%23.wav)"), std::string::npos) << metadata;
    EXPECT_NE(metadata.find(R"("mpris:length":{"type":"x","data":61500000})"), std::string::npos) << metadata;
    // Any name a Linux folder can hold: the title as it reads, with its carried backslash and control character as
    // themselves and a byte of no character as U+FFFD, and the address made of the name's own bytes.
    session = Shows("Who?\uF05C\uF009\xff.wav", MEDIASTATE_STOPPED, MEDIAFLAG_CANPLAY);
    session.lpszFolder = "C:\\tmp\\Disc 1: Live";
    ASSERT_TRUE(SetMediaSessionA(player, &session));
    const std::string odd = Property(kService, "Metadata");
    EXPECT_NE(odd.find(R"("xesam:title":{"type":"s","data":"Who?\\\t�.wav"})"), std::string::npos) << odd;
    EXPECT_NE(odd.find("file:///tmp/Disc%201%3A%20Live/Who%3F%5C%09%FF.wav"), std::string::npos) << odd;

    // What changed is read back at once; nothing open is no track at all.
    session = Shows(nullptr, MEDIASTATE_PAUSED, MEDIAFLAG_CANPAUSE);
    ASSERT_TRUE(SetMediaSessionA(player, &session));
    EXPECT_EQ(Property(kService, "PlaybackStatus"), R"({"type":"s","data":"Paused"})");
    EXPECT_EQ(Property(kService, "CanPlay"), R"({"type":"b","data":false})");
    EXPECT_EQ(Property(kService, "Metadata"),
              R"({"type":"a{sv}","data":{"mpris:trackid":{"type":"o","data":"/org/mpris/MediaPlayer2/TrackList/NoTrack"}}})");

    // Requests are posted to the window in the order they came, marked as the desktop's; seeking and opening
    // addresses are not the player's to do.
    for (const char* method : {"Play", "Pause", "PlayPause", "Stop", "Next", "Previous"})
        Ask(std::string("call ") + kService + " /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player " + method);
    EXPECT_EQ(Ask(std::string("call ") + kService +
                  " /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player Seek x 5000000 && echo answered"),
              "answered");
    Ask(std::string("call ") + kService + " /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2 Quit");
    DispatchPending();
    std::vector<short> received;
    for (LPARAM lParam : commands) {
        EXPECT_EQ(GET_DEVICE_LPARAM(lParam), FAPPCOMMAND_OEM);
        received.push_back(GET_APPCOMMAND_LPARAM(lParam));
    }
    EXPECT_EQ(received, (std::vector<short>{APPCOMMAND_MEDIA_PLAY, APPCOMMAND_MEDIA_PAUSE, APPCOMMAND_MEDIA_PLAY_PAUSE,
                                            APPCOMMAND_MEDIA_STOP, APPCOMMAND_MEDIA_NEXTTRACK,
                                            APPCOMMAND_MEDIA_PREVIOUSTRACK, APPCOMMAND_CLOSE}));
    EXPECT_EQ(Ask(std::string("call ") + kService +
                  " /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player OpenUri s file:///x.mp3 && echo answered"),
              "")
        << "refused";
}

TEST_F(MediaSession, TheNameGoesWithTheWindowAndASecondPlayerTakesOneOfItsOwn) {
    PrivateBus bus;
    ASSERT_TRUE(bus.Running());
    HWND first = Player();
    HWND second = Player();
    MEDIASESSIONA session = Shows("one.wav", MEDIASTATE_PLAYING, 0);
    ASSERT_TRUE(SetMediaSessionA(first, &session));
    EXPECT_EQ(Property(kService, "PlaybackStatus"), R"({"type":"s","data":"Playing"})");

    // Raised from the desktop, the window comes back from the task bar and takes the keyboard.
    ShowWindow(first, SW_MINIMIZE);
    DispatchPending();
    ASSERT_TRUE(IsIconic(first));
    Ask(std::string("call ") + kService + " /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2 Raise");
    RunUntil([&] { return !IsIconic(first) && GetActiveWindow() == first; }, 10s);
    EXPECT_FALSE(IsIconic(first));
    EXPECT_EQ(GetActiveWindow(), first);

    DestroyWindow(first);
    EXPECT_EQ(Property(kService, "PlaybackStatus"), "") << "gone with its window";
    session = Shows("two.wav", MEDIASTATE_STOPPED, 0);
    ASSERT_TRUE(SetMediaSessionA(second, &session));
    EXPECT_NE(Property(kService, "Metadata").find("two.wav"), std::string::npos);
}

TEST_F(MediaSession, WithoutASessionBusTheWindowIsRefusedQuietlyEveryTime) {
    Environment noBus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    HWND player = Player();
    MEDIASESSIONA session = Shows("one.wav", MEDIASTATE_STOPPED, 0);
    SetLastError(0);
    EXPECT_FALSE(SetMediaSessionA(player, &session));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_CONNECTED));
    {
        // Not asked again for the same window, even once a bus is there: the program would otherwise try to
        // connect every time it fell idle.
        PrivateBus bus;
        ASSERT_TRUE(bus.Running());
        EXPECT_FALSE(SetMediaSessionA(player, &session));
        // The bus answers, and holds no player.
        const std::string names = Ask("list --acquired");
        EXPECT_NE(names.find("org.freedesktop.DBus"), std::string::npos) << names;
        EXPECT_EQ(names.find(kService), std::string::npos) << names;
    }
    EXPECT_TRUE(SetMediaSessionA(player, nullptr)) << "ending no session is no fault";
    EXPECT_FALSE(SetMediaSessionA(reinterpret_cast<HWND>(0x7777), &session));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}
