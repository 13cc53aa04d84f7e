#pragma once
// What the built-in controls BUTTON, EDIT, LISTBOX, COMBOBOX and msctls_trackbar32 share: their object's life
// inside the window, the reports to the parent, and the colours and font the parent chooses for them.

#include <initializer_list>
#include <new>

#include "platform/win32.h"

namespace platform::controls {

// A control's object lives from WM_NCCREATE to WM_NCDESTROY in the window's first extra bytes. A report to the
// parent may end with the parent destroying the control (a click that closes a dialog), so the object is freed
// only when the last of its handlers has returned; until then its members stay safe to touch.
//
// The control type gives a constructor taking the window and its creation data, and
// `LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam)`. When memory for the object runs out, WM_NCCREATE
// answers FALSE and the window is not made, as on Windows.
template <typename Control>
class ControlWindow {
  public:
    static constexpr int kExtraBytes = sizeof(LONG_PTR);

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return ProcedureWith<>(window, message, wParam, lParam);
    }

    // The procedure for a second window class served by the same control type: the constructor receives the
    // arguments after the creation data ("ComboLBox" is a LISTBOX that knows it is a combo box's list).
    template <auto... arguments>
    static LRESULT CALLBACK ProcedureWith(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* control = window == lastWindow_ ? lastControl_ : reinterpret_cast<Control*>(GetWindowLongPtrA(window, 0));
        if (!control) {
            if (message != WM_NCCREATE) return DefWindowProcA(window, message, wParam, lParam);
            const auto& create = *reinterpret_cast<const CREATESTRUCTA*>(lParam);
            control = new (std::nothrow) Control(window, create, arguments...);
            if (!control) return FALSE;
            SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(control));
        }
        lastWindow_ = window;
        lastControl_ = control;
        HandlerScope handler(*control);
        LRESULT result = control->Handle(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrA(window, 0, 0);
            control->destroyed_ = true;
            if (lastWindow_ == window) lastWindow_ = nullptr;
        }
        return result;
    }

  protected:
    ControlWindow() = default;
    ~ControlWindow() = default;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    // True once the window is gone; a handler that reported something checks it before going on.
    bool Destroyed() const { return destroyed_; }

    // Counts as a running handler while it lives. The window procedure holds one for each message; a call that
    // reaches the control another way (a combo box's list telling it of a choice) holds one too, so that a parent
    // that destroys the control meanwhile does not free the object under it. The last one to end frees it.
    class HandlerScope {
      public:
        explicit HandlerScope(ControlWindow& control) : control_(control) { ++control_.handlers_; }
        ~HandlerScope() {
            if (--control_.handlers_ == 0 && control_.destroyed_) delete static_cast<Control*>(&control_);
        }
        HandlerScope(const HandlerScope&) = delete;
        HandlerScope& operator=(const HandlerScope&) = delete;

      private:
        ControlWindow& control_;
    };

    // A control with many messages answers them in groups by concern. Offer hands the message to each group in turn
    // until one takes it, which it says with `handled`.
    using MessageGroup = LRESULT (Control::*)(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT Offer(std::initializer_list<MessageGroup> groups, UINT message, WPARAM wParam, LPARAM lParam,
                  bool& handled) {
        handled = false;
        for (MessageGroup group : groups) {
            LRESULT result = (static_cast<Control*>(this)->*group)(message, wParam, lParam, handled);
            if (handled) return result;
        }
        return 0;
    }

  private:
    // A shuffle of the playlist sends its list box millions of messages: the last window's object is kept at hand
    // instead of being looked up in the window table for each. WM_NCDESTROY forgets it.
    static inline HWND lastWindow_ = nullptr;
    static inline Control* lastControl_ = nullptr;

    int handlers_ = 0;
    bool destroyed_ = false;
};

// WM_COMMAND to the parent with the control's id and the notification code.
void NotifyParent(HWND control, WORD code);

// Asks the parent for the control's colours with WM_CTLCOLORBTN, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX or
// WM_CTLCOLORSTATIC: the parent sets the DC's text and background colours and answers with the brush to fill with.
// A parent that answers 0 gets the system's colours for that message.
HBRUSH ControlColors(HWND control, HDC dc, UINT message);
// The same, asking `owner` instead of the parent: a combo box's list asks the combo box's parent.
HBRUSH ControlColors(HWND owner, HWND control, HDC dc, UINT message);

// The font the control was given with WM_SETFONT, or the default one.
HFONT ControlFont(HFONT given);

// The metrics of a font as the screen shows it.
TEXTMETRICA FontMetrics(HFONT font);

// Draws a caption greyed as the classic look shows disabled text: a light copy one pixel down and right, the grey
// text over it.
void DrawDisabledText(HDC dc, const char* text, RECT rect, UINT format);

}  // namespace platform::controls
