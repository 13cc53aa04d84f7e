#pragma once
// What the built-in controls BUTTON, EDIT and msctls_trackbar32 share: their object's life inside the window, the
// reports to the parent, and the colours the parent chooses for them.

#include "platform/win32.h"

namespace platform::user {

// A control's object lives from WM_NCCREATE to WM_NCDESTROY in the window's first extra bytes. A report to the
// parent may end with the parent destroying the control (a click that closes a dialog), so the object is freed
// only when the last of its handlers has returned; until then its members stay safe to touch.
template <typename Control>
class ControlWindow {
  public:
    static constexpr int kExtraBytes = sizeof(LONG_PTR);

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* control = reinterpret_cast<Control*>(GetWindowLongPtrA(window, 0));
        if (message == WM_NCCREATE && !control) {
            control = new Control(window, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
            SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(control));
        }
        if (!control) return DefWindowProcA(window, message, wParam, lParam);
        ++control->handlers_;
        LRESULT result = control->Handle(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, 0, 0);
            control->destroyed_ = true;
        }
        if (--control->handlers_ == 0 && control->destroyed_) delete control;
        return result;
    }

  protected:
    ControlWindow() = default;
    ~ControlWindow() = default;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    // True once the window is gone; a handler that reported something checks it before going on.
    bool Destroyed() const { return destroyed_; }

  private:
    int handlers_ = 0;
    bool destroyed_ = false;
};

// WM_COMMAND to the parent with the control's id and the notification code.
void NotifyParent(HWND control, WORD code);

// Asks the parent for the control's colours with WM_CTLCOLORBTN, WM_CTLCOLOREDIT or WM_CTLCOLORSTATIC: the parent
// sets the DC's text and background colours and answers with the brush to fill with. A parent that answers 0 gets
// the system's colours for that message.
HBRUSH ControlColors(HWND control, HDC dc, UINT message);

// The font the control was given with WM_SETFONT, or the default one.
HFONT ControlFont(HFONT given);

// Draws a caption greyed as the classic look shows disabled text: a light copy one pixel down and right, the grey
// text over it.
void DrawDisabledText(HDC dc, const char* text, RECT rect, UINT format);

}  // namespace platform::user
