#include "platform/controls/ControlWindow.h"

#include "platform/controls/Controls.h"

namespace platform::controls {

void NotifyParent(HWND control, WORD code) {
    HWND parent = GetParent(control);
    if (!parent) return;
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

HBRUSH ControlColors(HWND control, HDC dc, UINT message) {
    return ControlColors(GetParent(control), control, dc, message);
}

HBRUSH ControlColors(HWND owner, HWND control, HDC dc, UINT message) {
    LRESULT answer = owner ? SendMessageA(owner, message, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(control))
                           : 0;
    if (answer) return reinterpret_cast<HBRUSH>(answer);
    // The same colours the default window procedure gives for that message.
    return reinterpret_cast<HBRUSH>(DefWindowProcA(control, message, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(control)));
}

HFONT ControlFont(HFONT given) { return given ? given : DefaultControlFont(); }

TEXTMETRICA FontMetrics(HFONT font) {
    TEXTMETRICA metrics{};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return metrics;
}

void DrawDisabledText(HDC dc, const char* text, RECT rect, UINT format) {
    COLORREF old = SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    int mode = SetBkMode(dc, TRANSPARENT);
    RECT shadow = rect;
    OffsetRect(&shadow, 1, 1);
    DrawTextA(dc, text, -1, &shadow, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text, -1, &rect, format);
    SetTextColor(dc, old);
    SetBkMode(dc, mode);
}

}  // namespace platform::controls
