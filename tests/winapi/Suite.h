#pragma once
// What the suite's tests share: a folder of their own to put files in, the message loop run until something
// happens, and a sound file to play. Written, like the tests, against the Windows API and the C++ library alone, so
// that the suite builds for Windows as it does on our platform.

#include <gtest/gtest.h>

#include <concepts>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32.h"
#include "tests/support/Recorder.h"

namespace winapi {

// A folder below the current directory, named for the running test and the process, removed with what it holds
// when the object goes. The tests name it to the Windows API by a relative path, which both implementations resolve
// against the current directory, and make its files with the C++ library, not with the API under test.
class WorkFolder {
  public:
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    const std::string& Name() const { return name_; }
    // `file` inside the folder, as the Windows API is given it: "winapi-...\file".
    std::string Path(std::string_view file) const { return name_ + "\\" + std::string(file); }
    void Write(std::string_view file, std::string_view bytes = {}) const;
    void MakeFolder(std::string_view folder) const;

  private:
    std::string name_;
};

// Tests of windows of the recorder's class, each labelled for Recorder::Sequence. The top-level windows a test made
// are destroyed at its end.
class WindowTest : public ::testing::Test {
  protected:
    WindowTest();
    ~WindowTest() override;

    // Hidden unless the style says otherwise: shown, it is also activated, which Wine without a window manager is
    // slow to do, and a hidden one has nothing waiting but what the test sends it.
    HWND TopLevel(const char* label, DWORD style = WS_POPUP, HWND owner = nullptr, int x = 20);
    HWND Child(HWND parent, const char* label, int x = 0, int y = 0, int width = 40, int height = 30,
               DWORD style = WS_CHILD | WS_VISIBLE);

    Recorder recorder_;
    std::vector<HWND> topLevels_;
};

// The built-in controls' tests: controls made in a parent window that writes down what they tell it. The parent
// stays hidden: nothing here needs drawing, and Wine waits seconds for a window manager whenever a shown top-level
// window is hidden or destroyed.
class ControlTest : public ::testing::Test {
  protected:
    ControlTest();
    ~ControlTest() override;

    HWND Make(const char* className, DWORD style, const char* text, int id, RECT bounds, DWORD exStyle = 0) const;
    static LRESULT Send(HWND control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(control, message, wParam, lParam);
    }
    // A text as the message's lParam; only for a pointer to characters, so that a literal 0 stays a number.
    template <typename Text>
        requires std::same_as<Text, const char*> || std::same_as<Text, char*>
    static LRESULT Send(HWND control, UINT message, WPARAM wParam, Text text) {
        return SendMessageA(control, message, wParam, reinterpret_cast<LPARAM>(text));
    }
    static std::string Text(HWND window);
    // A list's lines, read with its messages for the count, a line's length and a line (LB_... or CB_...).
    static std::vector<std::string> Lines(HWND list, UINT count, UINT length, UINT line);
    // The notification codes the parent received from the control of `id` (WM_COMMAND), in order.
    std::vector<int> Notifications(int id) const;

    Recorder recorder_;
    HWND parent_ = nullptr;
};

// Dispatches every message that is waiting, without waiting for more.
void DispatchPending();
// Runs the message loop until `condition` holds (asked before the first wait and after each message) or
// `milliseconds` have passed; returns whether it held.
bool RunUntil(const std::function<bool()>& condition, UINT milliseconds = 5000);
// Runs the message loop for `milliseconds`.
void RunFor(UINT milliseconds);

// Whether the suite runs in Wine. A test whose behaviour Wine is known to get wrong says so with
// KORVO_KNOWN_TO_DIFFER_ON_WINE, quoting Windows' documentation, and is skipped there.
bool OnWine();
#define KORVO_KNOWN_TO_DIFFER_ON_WINE(why) \
    do {                            \
        if (::winapi::OnWine()) GTEST_SKIP() << "known to differ on Wine: " << (why); \
    } while (false)

// A WAV file of 16-bit PCM: a quiet tone of `milliseconds`.
std::string WaveFile(int milliseconds, int rate = 22050, int channels = 1);

}  // namespace winapi
