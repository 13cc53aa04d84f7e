#include "frame/HintWindow.h"

#include <algorithm>

namespace {
constexpr int kPadding = 2;
constexpr int kMaximumWidth = 300;
}  // namespace

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
    SetVisibleFlag(false);
    Font().SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.style = WS_POPUP | WS_BORDER;
    params.exStyle |= WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    params.classStyle |= CS_SAVEBITS;
}

void THintWindow::ActivateHint(POINT where, const std::string& text) {
    SetText(text);
    HandleNeeded();
    HDC dc = GetDC(Handle());
    Canvas().SetHandle(dc);
    RECT bounds{0, 0, kMaximumWidth, 0};
    Canvas().DrawText(text, bounds, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    Canvas().SetHandle(nullptr);
    ReleaseDC(Handle(), dc);
    int width = bounds.right + 2 * kPadding + 2;
    int height = bounds.bottom + 2 * kPadding + 2;
    // Kept on the screen: a hint near the right or bottom edge opens to the other side.
    int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    int left = std::clamp(static_cast<int>(where.x), 0, std::max(0, screenWidth - width));
    int top = where.y + height > screenHeight ? std::max(0, static_cast<int>(where.y) - height - 2 * kPadding)
                                              : static_cast<int>(where.y);
    SetBounds(left, top, width, height);
    SetVisibleFlag(true);
    SetWindowPos(Handle(), HWND_TOPMOST, left, top, width, height, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    Invalidate();
}

void THintWindow::ReleaseHint() {
    SetVisibleFlag(false);
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void THintWindow::Paint() {
    RECT client = ClientRect();
    Canvas().Brush().SetColor(Color());
    Canvas().FillRect(client);
    InflateRect(&client, -kPadding, -kPadding);
    Canvas().Font().Assign(Font());
    Canvas().Brush().SetStyle(bsClear);
    Canvas().DrawText(Text(), client, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
}
