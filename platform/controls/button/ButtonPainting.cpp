// How buttons look in the classic style: a raised face with the default button's black frame, a box or circle
// with its caption on the parent's background, an etched group frame.

#include <algorithm>
#include <string>

#include "platform/controls/button/Button.h"

namespace platform::controls {

namespace {

constexpr int kCheckSize = 13;     // the box or circle of a check box or radio button
constexpr int kCheckGap = 4;       // between the box and its caption
constexpr int kGroupTextLeft = 8;  // where a group box's caption starts on its frame
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER;

std::string Caption(HWND window) {
    std::string text(static_cast<size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void DrawCaption(HDC dc, const std::string& text, RECT rect, UINT format, bool enabled) {
    if (enabled) DrawTextA(dc, text.c_str(), -1, &rect, format);
    else DrawDisabledText(dc, text.c_str(), rect, format);
}

SIZE CaptionSize(HDC dc, const std::string& text) {
    RECT measured{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
    return {measured.right - measured.left, measured.bottom - measured.top};
}

}  // namespace

void Button::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (!dc) return;
    RECT client;
    GetClientRect(window_, &client);
    HGDIOBJ oldFont = SelectObject(dc, ControlFont(font_));
    if (Type() == BS_GROUPBOX) PaintGroup(dc, client);
    else if (IsCheckable()) PaintCheck(dc, client);
    else PaintPush(dc, client);
    SelectObject(dc, oldFont);
    EndPaint(window_, &paint);
}

void Button::PaintPush(HDC dc, RECT client) {
    // The parent is asked as on Windows, but a push button keeps the system's face and text colours.
    ControlColors(window_, dc, WM_CTLCOLORBTN);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    bool isDefault = Type() == BS_DEFPUSHBUTTON;
    RECT face = client;
    if (isDefault) {
        FrameRect(dc, &face, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&face, -1, -1);
    }
    // Held down, the default button shows one shadow line inside its black frame; any other one sinks in.
    UINT state = DFCS_BUTTONPUSH;
    if (pushed_) state |= isDefault ? DFCS_PUSHED | DFCS_FLAT : DFCS_PUSHED;
    DrawFrameControl(dc, &face, DFC_BUTTON, state);
    RECT label = face;
    InflateRect(&label, -2, -2);
    if (pushed_) OffsetRect(&label, 1, 1);
    DrawCaption(dc, Caption(window_), label, kCaptionFormat | DT_CENTER, IsWindowEnabled(window_));
    if (focused_) {
        RECT focus = face;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

void Button::PaintCheck(HDC dc, RECT client) {
    FillRect(dc, &client, ControlColors(window_, dc, WM_CTLCOLORSTATIC));
    SetBkMode(dc, TRANSPARENT);
    bool enabled = IsWindowEnabled(window_);
    bool leftText = GetWindowLongA(window_, GWL_STYLE) & BS_LEFTTEXT;
    LONG top = (client.bottom - kCheckSize) / 2;
    RECT box = leftText ? RECT{client.right - kCheckSize, top, client.right, top + kCheckSize}
                        : RECT{0, top, kCheckSize, top + kCheckSize};
    UINT state = IsRadio() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
    if (check_ == BST_CHECKED) state |= DFCS_CHECKED;
    if (check_ == BST_INDETERMINATE) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (pushed_) state |= DFCS_PUSHED;
    if (!enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &box, DFC_BUTTON, state);

    std::string caption = Caption(window_);
    RECT label = leftText ? RECT{0, 0, client.right - kCheckSize - kCheckGap, client.bottom}
                          : RECT{kCheckSize + kCheckGap, 0, client.right, client.bottom};
    DrawCaption(dc, caption, label, kCaptionFormat | DT_LEFT, enabled);
    if (focused_ && !caption.empty()) {
        SIZE size = CaptionSize(dc, caption);
        LONG textTop = (client.bottom - size.cy) / 2;
        RECT focus{label.left - 1, textTop - 1, std::min(label.right, label.left + size.cx) + 1, textTop + size.cy + 1};
        IntersectRect(&focus, &focus, &client);
        DrawFocusRect(dc, &focus);
    }
}

void Button::PaintGroup(HDC dc, RECT client) {
    HBRUSH brush = ControlColors(window_, dc, WM_CTLCOLORSTATIC);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    // The inside stays the parent's: only the frame and the caption are drawn.
    RECT frame = client;
    frame.top += metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    std::string caption = Caption(window_);
    if (caption.empty()) return;
    SIZE size = CaptionSize(dc, caption);
    RECT label{kGroupTextLeft, 0, std::min<LONG>(client.right - 2, kGroupTextLeft + size.cx), metrics.tmHeight};
    RECT behind{label.left - 2, 0, label.right + 2, label.bottom};
    FillRect(dc, &behind, brush);
    DrawCaption(dc, caption, label, kCaptionFormat | DT_LEFT, IsWindowEnabled(window_));
}

}  // namespace platform::controls
