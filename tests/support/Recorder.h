#pragma once
// A window class for tests that writes down the messages its windows receive, and lets a test handle some itself.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win32.h"

struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class Recorder {
  public:
    // A handler returns true when it has answered the message (in `result`); otherwise the default runs.
    using Handler = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT& result)>;

    Recorder();
    ~Recorder();

    HWND TopLevel(const char* title, int x, int y, int width, int height, DWORD style = WS_OVERLAPPED | WS_SYSMENU,
                  HWND owner = nullptr);
    HWND Child(HWND parent, int x, int y, int width, int height, DWORD style = WS_CHILD | WS_VISIBLE, DWORD exStyle = 0);

    void Handle(HWND window, Handler handler) { handlers_[window] = std::move(handler); }
    void Clear() { log_.clear(); }
    const std::vector<Received>& Log() const { return log_; }
    // The messages of interest, in order, as "name(window label)": e.g. "WM_SETFOCUS(b)".
    std::vector<std::string> Sequence(const std::vector<UINT>& interesting) const;
    void Label(HWND window, std::string label) { labels_[window] = std::move(label); }

    static constexpr const char* kClassName = "KorvoTestRecorder";

  private:
    static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);
    std::vector<Received> log_;
    std::map<HWND, Handler> handlers_;
    std::map<HWND, std::string> labels_;
};

const char* MessageName(UINT message);
