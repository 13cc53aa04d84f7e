// The media device's button bar: its size rule, its drawing, and the mouse and keys that press its buttons.

#include <algorithm>
#include <bit>

#include "framework/ExtCtrls.h"
#include "media/MediaPlayer.h"
#include "runtime/Format.h"

namespace {

enum Image { kEnabled, kDisabled, kColored };
const char* const kImagePrefixes[] = {"EN", "DI", "CL"};
const char* const kButtonNames[] = {"MPPLAY", "MPPAUSE", "MPSTOP",   "MPNEXT", "MPPREV",
                                    "MPSTEP", "MPBACK",  "MPRECORD", "MPEJECT"};

bool Contains(TButtonSet set, int button) { return (set >> button) & 1; }

}  // namespace

void TMediaPlayer::LoadGlyphs() {
    int width = 0, height = 0;
    for (int button = 0; button < kButtonCount; ++button)
        for (int image = 0; image < 3; ++image) {
            TBitmap& glyph = glyphs_[button][image];
            glyph.LoadFromResourceName(GetModuleHandleA(nullptr),
                                       Format("%s_%s", kImagePrefixes[image], kButtonNames[button]));
            glyph.SetTransparentColor(clOlive);
            glyph.SetTransparent(true);
            width = std::max(width, glyph.Width());
            height = std::max(height, glyph.Height());
        }
    minButtonSize_ = {width + 8, height + 4};
}

bool TMediaPlayer::ButtonActive(TMPBtnType button) const {
    return autoEnable_ ? Contains(autoEnabledFlags_, button) : Contains(enabledButtons_, button);
}

int TMediaPlayer::VisibleCount() const {
    int count = std::popcount(static_cast<unsigned>(visibleButtons_ & kAllButtons));
    return count == 0 ? 1 : count;
}

int TMediaPlayer::ButtonLeft(TMPBtnType button) const {
    int left = 0;
    for (int other = 0; other < button; ++other)
        if (Contains(visibleButtons_, other)) left += buttonWidth_ - 1;
    return left;
}

void TMediaPlayer::FitSize(int width, int height) {
    const int count = VisibleCount();
    buttonWidth_ = (width - 1) / count + 1;
    const int fitWidth = std::max(count * (buttonWidth_ - 1) + 1, count * (static_cast<int>(minButtonSize_.cx) - 1) + 1);
    const int fitHeight = std::max(height, static_cast<int>(minButtonSize_.cy));
    if (fitWidth != width || fitHeight != height) SetBounds(Left(), Top(), fitWidth, fitHeight);
}

void TMediaPlayer::RefreshBar() {
    autoEnabledFlags_ = autoEnabled_;
    Invalidate();
}

void TMediaPlayer::SetVisibleButtons(TButtonSet value) {
    visibleButtons_ = value & kAllButtons;
    if (Loading()) {
        buttonWidth_ = (Width() - 1) / VisibleCount() + 1;
    } else {
        SetBounds(Left(), Top(), VisibleCount() * (buttonWidth_ - 1) + 1, Height());
    }
    Invalidate();
}

void TMediaPlayer::SetEnabledButtons(TButtonSet value) {
    value &= kAllButtons;
    if (enabledButtons_ == value) return;
    enabledButtons_ = value;
    Invalidate();
}

void TMediaPlayer::SetColoredButtons(TButtonSet value) {
    value &= kAllButtons;
    if (coloredButtons_ == value) return;
    coloredButtons_ = value;
    Invalidate();
}

void TMediaPlayer::SetAutoEnable(bool value) {
    if (value == autoEnable_) return;
    autoEnable_ = value;
    if (value) RefreshBar();
    else SetEnabledButtons(enabledButtons_);
}

void TMediaPlayer::SetEnabled(bool value) {
    if (value == Enabled()) return;
    TCustomControl::SetEnabled(value);
    Invalidate();
}

void TMediaPlayer::Paint() {
    TCanvas& canvas = Canvas();
    const int height = Height();
    // Where no button stands (a bar with none visible) the control still covers what lies behind it.
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(ClientRect());
    canvas.Pen().SetColor(clWindowFrame);
    canvas.Brush().SetStyle(bsClear);
    canvas.Rectangle(0, 0, Width(), height);

    int left = 0;
    for (int index = 0; index < kButtonCount; ++index) {
        auto button = static_cast<TMPBtnType>(index);
        if (!Contains(visibleButtons_, button)) continue;
        const bool held = down_ && button == currentButton_;
        RECT rect{left, 0, left + buttonWidth_, height};
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(clBtnFace);
        canvas.Pen().SetColor(clWindowFrame);
        canvas.Rectangle(rect);

        RECT edge = rect;
        InflateRect(&edge, -1, -1);
        if (held) Frame3D(canvas, edge, clBtnShadow, clBtnFace, 1);
        else Frame3D(canvas, edge, clBtnHighlight, clBtnShadow, 1);

        Image image = kDisabled;
        if (Enabled()) {
            if (ButtonActive(button)) image = Contains(coloredButtons_, button) ? kColored : kEnabled;
        }
        const TBitmap& glyph = glyphs_[button][image];
        const int shift = held ? 1 : 0;
        canvas.Draw(left + (buttonWidth_ - glyph.Width()) / 2 + shift, (height - glyph.Height()) / 2 + shift, glyph);

        if (Focused() && button == focusedButton_) {
            RECT focus = rect;
            InflateRect(&focus, -3, -3);
            OffsetRect(&focus, shift, shift);
            canvas.DrawFocusRect(focus);
        }
        left += buttonWidth_ - 1;
    }
}

void TMediaPlayer::RunButton(TMPBtnType button) {
    bool doDefault = true;
    Click(button, doDefault);
    if (!doDefault) return;
    switch (button) {
        case btPlay: StartPlayback(); break;
        case btPause: PauseOrResume(); break;
        case btStop: StopPlayback(); break;
        case btNext: SkipForward(); break;
        case btPrev: SkipBack(); break;
        case btStep: StepForward(); break;
        case btBack: StepBackward(); break;
        case btRecord: BeginRecording(); break;
        case btEject: EjectMedium(); break;
    }
    // A skip that restarted playback made Play the current button.
    PostClick(currentButton_);
}

void TMediaPlayer::PressButtonAt(int x) {
    for (int index = 0; index < kButtonCount; ++index) {
        auto button = static_cast<TMPBtnType>(index);
        if (!Contains(visibleButtons_, button)) continue;
        const int left = ButtonLeft(button);
        if (x < left || x >= left + buttonWidth_) continue;
        if (!ButtonActive(button)) return;
        currentButton_ = button;
        focusedButton_ = button;
        pressed_ = true;
        down_ = true;
        currentRect_ = {left, 0, left + buttonWidth_, Height()};
        Invalidate();
        SetMouseCapture(true);
        return;
    }
}

void TMediaPlayer::MouseTrack(int x, int y) {
    if (!pressed_) return;
    const bool inside = PtInRect(&currentRect_, POINT{x, y});
    if (inside == down_) return;
    down_ = inside;
    Invalidate();
}

void TMediaPlayer::MouseRelease() {
    SetMouseCapture(false);
    if (!pressed_) return;
    // An operation that fails for want of a device leaves the click by an exception; the press still ends.
    struct EndPress {
        bool& pressed;
        ~EndPress() { pressed = false; }
    } endPress{pressed_};
    if (!down_) return;
    down_ = false;
    Invalidate();
    RunButton(currentButton_);
    if (autoEnable_ && lastError_ == 0 && opened_) {
        AutoButtonSet(currentButton_);
        RefreshBar();
    }
}

bool TMediaPlayer::DoKeyDown(TMessage& message) {
    if (TCustomControl::DoKeyDown(message)) return true;
    switch (message.WParam) {
        case VK_SPACE:
            // The keyboard honours the buttons the program enabled, whatever the device's state says.
            if (Contains(enabledButtons_, focusedButton_)) {
                currentButton_ = focusedButton_;
                RunButton(currentButton_);
                if (autoEnable_) {
                    AutoButtonSet(currentButton_);
                    RefreshBar();
                }
            }
            return true;
        case VK_LEFT:
        case VK_RIGHT: {
            const int step = message.WParam == VK_LEFT ? -1 : 1;
            const int last = step < 0 ? btPlay : btEject;
            int button = focusedButton_;
            // The search ends at the bar's end even when the end button is hidden.
            while (button != last) {
                button += step;
                if (Contains(visibleButtons_, button)) break;
            }
            if (button != focusedButton_) {
                focusedButton_ = static_cast<TMPBtnType>(button);
                Invalidate();
            }
            return true;
        }
        default: return false;
    }
}

void TMediaPlayer::WndProc(TMessage& message) {
    switch (message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            PressButtonAt(static_cast<short>(LOWORD(message.LParam)));
            return;
        case WM_MOUSEMOVE:
            MouseTrack(static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam)));
            return;
        case WM_LBUTTONUP: MouseRelease(); return;
        case WM_GETDLGCODE: message.Result = DLGC_WANTARROWS; return;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            TCustomControl::WndProc(message);
            Invalidate();
            return;
        case WM_SIZE:
            TCustomControl::WndProc(message);
            // The size the window has now; the control's own record of it follows when the move is complete.
            if (!Loading()) FitSize(LOWORD(message.LParam), HIWORD(message.LParam));
            return;
        case MM_MCINOTIFY: HandleNotice(message.WParam); return;
        default: TCustomControl::WndProc(message);
    }
}
