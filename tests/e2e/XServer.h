#pragma once
// What the end-to-end tests need around a real X server: Xvfb itself, child programs whose output they read line
// by line, xdotool, and the screen read back with xwd.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/win32.h"

// Every wait of these tests is for something the program says or the screen shows, never for a length of time.
// This limit only ends a wait that would otherwise never end: it is far beyond what a loaded machine running the
// sanitizers takes for any step.
inline constexpr std::chrono::seconds kHangLimit{60};

class Process {
  public:
    explicit Process(std::vector<std::string> arguments, bool readOutput = true);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return pid_ > 0; }
    // The next line of output, or nothing after the timeout or at its end.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout = kHangLimit);
    // Lines until one starts with `prefix`; that one, or nothing after the timeout.
    std::optional<std::string> WaitFor(const std::string& prefix, std::chrono::milliseconds timeout = kHangLimit);
    // Whether the program's output has ended.
    bool OutputEnded() const { return ended_; }
    // Every line read so far, those that WaitFor passed over included: what to show when a wait fails.
    const std::string& Said() const { return said_; }
    void Signal(int number) const;
    // The exit code, or -1 for a program ended by a signal or still running after `limit` (which the destructor
    // then kills).
    int Wait(std::chrono::milliseconds limit = kHangLimit);

  private:
    pid_t pid_ = -1;
    int out_ = -1;
    bool ended_ = false;
    std::string buffer_;
    std::string said_;
};

// The pixels a program of the tests says with e2e::SayPixels, or nothing when it says none.
std::optional<platform::gdi::Surface> ReadPixels(Process& program);
// How many pixels of `area` (client coordinates of the rendering) differ between a window's rendering and the
// screen, the window's client area lying at (x, y) on the screen; every pixel counts as different when the area
// reaches outside either.
int DifferentPixels(const platform::gdi::Surface& screen, int x, int y, const platform::gdi::Surface& rendering,
                    const RECT& area);

// Asks `condition` again and again, a moment apart, until it holds; false only after `limit`.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit = kHangLimit);

// Runs a program to its end and returns what it wrote.
std::string RunProgram(std::vector<std::string> arguments);

// An Xvfb of its own for one test; DISPLAY names it while the object lives.
class VirtualXServer {
  public:
    // `depth` is bits a pixel: 24 as on a desktop, 16 as on an old or remote one.
    VirtualXServer(int width = 640, int height = 480, int depth = 24);
    bool Running() const { return !display_.empty(); }

    // xdotool's window id for a title, and the window's position on the screen.
    std::string WindowId(const std::string& title) const;
    bool WindowPosition(const std::string& id, int& x, int& y) const;
    void Click(const std::string& windowId, int x, int y) const;  // client coordinates of the window
    void DoubleClick(const std::string& windowId, int x, int y) const;
    void ClickOnScreen(int x, int y) const;
    void Drag(const std::string& windowId, int fromX, int fromY, int toX, int toY) const;
    // A key (an X key name, "Return") typed into the window.
    void PressKey(const std::string& windowId, const std::string& key) const;
    // What a window manager's close box sends: WM_DELETE_WINDOW.
    void RequestClose(const std::string& windowId) const;
    // Ends the server at once, as a crash of it would.
    void Kill();
    // The whole screen as xwd reads it back from the server.
    std::optional<platform::gdi::Surface> Screen() const;

  private:
    std::unique_ptr<Process> server_;
    std::string display_;
};
