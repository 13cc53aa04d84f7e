#include "platform/controls/edit/Edit.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/Controls.h"

namespace platform::controls {

namespace {

constexpr size_t kLargestLimit = 0x7FFFFFFE;  // what EM_LIMITTEXT 0 allows a one-line edit

}  // namespace

Edit::Edit(HWND window, const CREATESTRUCTA& create) : window_(window) {
    text_.Reset(Cased(create.lpszName ? create.lpszName : ""));
    Remeasure();
}

DWORD Edit::Style() const { return static_cast<DWORD>(GetWindowLongA(window_, GWL_STYLE)); }

HFONT Edit::Font() const { return ControlFont(font_); }

RECT Edit::Client() const {
    RECT client{};
    GetClientRect(window_, &client);
    return client;
}

std::string Edit::Cased(std::string text) const {
    DWORD style = Style();
    if (style & ES_UPPERCASE) CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    else if (style & ES_LOWERCASE) CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

void Edit::Remeasure() { view_.Measure(Font(), text_, Style() & ES_PASSWORD); }

void Edit::PlaceCaret() {
    if (!focused_) return;
    RECT client = Client();
    int x = std::clamp(view_.XOf(text_.Caret()), 0, std::max<int>(0, client.right - kCaretWidth));
    SetCaretPos(x, view_.Top(client));
}

void Edit::Select(size_t anchor, size_t caret) {
    size_t oldStart = text_.SelectionStart(), oldEnd = text_.SelectionEnd();
    text_.Select(anchor, caret);
    bool scrolled = view_.ScrollToShow(text_.Caret(), Client());
    if (scrolled || oldStart != text_.SelectionStart() || oldEnd != text_.SelectionEnd())
        InvalidateRect(window_, nullptr, FALSE);
    PlaceCaret();
}

// After a change of the text: the parent hears EN_UPDATE before the control shows it and EN_CHANGE after.
void Edit::Changed() {
    Remeasure();
    // Before the caret moves, so that a reader hears what was typed before where the caret went.
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window_, OBJID_CLIENT, CHILDID_SELF);
    view_.ScrollToShow(text_.Caret(), Client());
    PlaceCaret();
    InvalidateRect(window_, nullptr, FALSE);
    NotifyParent(window_, EN_UPDATE);
    if (Destroyed()) return;
    UpdateWindow(window_);
    NotifyParent(window_, EN_CHANGE);
}

// Without ES_AUTOHSCROLL the text may not grow past the control's width.
size_t Edit::FittingWidth(const std::string& inserted) const {
    const std::string& all = text_.Text();
    std::string before = all.substr(0, text_.SelectionStart()), after = all.substr(text_.SelectionEnd());
    int room = EditView::Room(Client());
    EditText candidate;
    candidate.Reset(inserted);
    size_t fitting = inserted.size();
    while (fitting > 0) {
        std::string result = before + inserted.substr(0, fitting) + after;
        if (Style() & ES_PASSWORD) {
            EditText counted;
            counted.Reset(result);
            size_t characters = 0;
            for (size_t at = 0; at < counted.Size(); at = counted.Next(at)) ++characters;
            result.assign(characters, '*');
        }
        if (EditView::TextWidth(Font(), result) <= room) break;
        fitting = candidate.Previous(fitting);
    }
    return fitting;
}

// A change the user asks for (or a program through EM_REPLACESEL): it keeps to the limit in whole characters and
// tells the parent with EN_MAXTEXT when it had to cut; nothing at all changes when nothing of the text fits.
bool Edit::Insert(const std::string& text, bool typing) {
    size_t fitting = text_.Fitting(text, limit_);
    if (!(Style() & ES_AUTOHSCROLL) && fitting > 0) fitting = FittingWidth(text.substr(0, fitting));
    if (fitting < text.size()) {
        NotifyParent(window_, EN_MAXTEXT);
        if (Destroyed() || fitting == 0) return false;
    }
    if (text.empty() && !text_.HasSelection()) return false;
    text_.ReplaceSelection(std::string_view(text).substr(0, fitting), typing);
    modified_ = true;
    Changed();
    return true;
}

LRESULT Edit::HandleEditMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case EM_GETSEL: {
            auto start = static_cast<DWORD>(text_.SelectionStart()), end = static_cast<DWORD>(text_.SelectionEnd());
            if (auto* out = reinterpret_cast<DWORD*>(wParam)) *out = start;
            if (auto* out = reinterpret_cast<DWORD*>(lParam)) *out = end;
            return start > 0xFFFF || end > 0xFFFF ? -1 : MAKELRESULT(start, end);
        }
        case EM_SETSEL: {
            auto start = static_cast<int>(wParam), end = static_cast<int>(lParam);
            FlushPending();
            // -1 as the start only drops the selection; any other negative value means the text's end.
            if (start == -1) Select(text_.Caret(), text_.Caret());
            else
                Select(start < 0 ? text_.Size() : static_cast<size_t>(start),
                       end < 0 ? text_.Size() : static_cast<size_t>(end));
            return 0;
        }
        case EM_REPLACESEL: {
            FlushPending();
            Insert(Cased(lParam ? reinterpret_cast<const char*>(lParam) : ""), false);
            if (!wParam) text_.ForgetUndo();
            return 0;
        }
        case EM_LIMITTEXT:
            limit_ = wParam == 0 ? kLargestLimit : std::min<size_t>(wParam, kLargestLimit);
            return 0;
        case EM_GETLIMITTEXT: return static_cast<LRESULT>(limit_);
        case EM_GETMODIFY: return modified_;
        case EM_SETMODIFY: modified_ = wParam != 0; return 0;
        case EM_CANUNDO: return text_.CanUndo();
        case EM_UNDO:
        case WM_UNDO: Undo(); return TRUE;
        case EM_EMPTYUNDOBUFFER: text_.ForgetUndo(); return 0;
        case EM_SETREADONLY: {
            LONG style = GetWindowLongA(window_, GWL_STYLE);
            SetWindowLongA(window_, GWL_STYLE, wParam ? style | ES_READONLY : style & ~static_cast<LONG>(ES_READONLY));
            InvalidateRect(window_, nullptr, FALSE);
            return TRUE;
        }
        case EM_SCROLLCARET:
            if (view_.ScrollToShow(text_.Caret(), Client())) InvalidateRect(window_, nullptr, FALSE);
            PlaceCaret();
            return TRUE;
        case EM_POSFROMCHAR:
            if (wParam >= text_.Size()) return -1;
            return MAKELRESULT(view_.XOf(text_.Boundary(wParam)), view_.Top(Client()));
        case EM_CHARFROMPOS: return MAKELRESULT(view_.PositionAt(text_, GET_X_LPARAM(lParam)), 0);
        case EM_GETLINECOUNT: return 1;
        case EM_LINELENGTH: return static_cast<LRESULT>(text_.Size());
        case EM_GETRECT:
            if (auto* rect = reinterpret_cast<RECT*>(lParam)) {
                RECT client = Client();
                int top = view_.Top(client);
                int left = view_.XOf(0) + view_.Scroll();
                *rect = {left, top, left + EditView::Room(client), top + view_.LineHeight()};
            }
            return 0;
        default: handled = false; return 0;
    }
}

LRESULT Edit::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = Offer({&Edit::HandleEditMessage, &Edit::HandleInput}, message, wParam, lParam, handled);
    if (handled) return result;
    switch (message) {
        case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        case WM_ERASEBKGND: return 1;  // painting covers everything
        case WM_PAINT: Paint(); return 0;
        case WM_SETTEXT:
            // As on Windows, a program's text is not held to the limit; the caret goes to the start.
            pending_.clear();
            text_.Reset(Cased(lParam ? reinterpret_cast<const char*>(lParam) : ""));
            modified_ = false;
            view_.ResetScroll();
            Changed();
            return TRUE;
        case WM_GETTEXT: {
            auto* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || wParam == 0) return 0;
            size_t length = text_.Boundary(std::min<size_t>(text_.Size(), wParam - 1));
            std::memcpy(buffer, text_.Text().data(), length);
            buffer[length] = '\0';
            return static_cast<LRESULT>(length);
        }
        case WM_GETTEXTLENGTH: return static_cast<LRESULT>(text_.Size());
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            Remeasure();
            view_.ScrollToShow(text_.Caret(), Client());
            if (focused_) {
                CreateCaret(window_, nullptr, kCaretWidth, view_.LineHeight());
                PlaceCaret();
                ShowCaret(window_);
            }
            if (lParam) InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_SIZE:
            view_.ScrollToShow(text_.Caret(), Client());
            PlaceCaret();
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_ENABLE: InvalidateRect(window_, nullptr, FALSE); return 0;
        default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void Edit::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (!dc) return;
    RECT client = Client();
    HGDIOBJ oldFont = SelectObject(dc, Font());
    bool enabled = IsWindowEnabled(window_);
    // A read-only or disabled edit takes the colours of static text.
    UINT colors = ReadOnly() || !enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    FillRect(dc, &client, ControlColors(window_, dc, colors));
    if (!enabled) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    view_.Paint(dc, client, text_, enabled && (focused_ || (Style() & ES_NOHIDESEL)));
    SelectObject(dc, oldFont);
    EndPaint(window_, &paint);
}

void RegisterEditClass() {
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS | CS_GLOBALCLASS;
    cls.lpfnWndProc = Edit::Procedure;
    cls.cbWndExtra = Edit::kExtraBytes;
    cls.hCursor = LoadCursorA(nullptr, IDC_IBEAM);
    cls.lpszClassName = "EDIT";
    RegisterClassA(&cls);
}

}  // namespace platform::controls
