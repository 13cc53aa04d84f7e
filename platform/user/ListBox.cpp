// The list box's window procedure, its lines and its selection. Geometry and scrolling are in ListBoxGeometry.cpp,
// input in ListBoxInput.cpp, drawing in ListBoxPainting.cpp.

#include "platform/user/ListBox.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/kernel/Locale.h"
#include "platform/user/Controls.h"

namespace platform::user {
namespace {

constexpr int kMaxItemHeight = 255;  // the height travels in one byte, as on Windows

// A shuffle of the playlist sends it millions of messages: the last list's object is kept at hand instead of being
// looked up in the window table for each. WM_NCDESTROY forgets it.
HWND lastWindow = nullptr;
ListBox* lastObject = nullptr;

int CompareLineTexts(std::string_view a, std::string_view b) { return kernel::CompareLocaleText(a, b, false); }

}  // namespace

bool TypedCharacter::Add(unsigned char byte) {
    bool continuation = (byte & 0xC0) == 0x80;
    if (missing_ > 0 && continuation) {
        text_ += static_cast<char>(byte);
        return --missing_ == 0;
    }
    text_.assign(1, static_cast<char>(byte));
    missing_ = byte >= 0xF0 && byte < 0xF8 ? 3 : byte >= 0xE0 && byte < 0xF0 ? 2 : byte >= 0xC0 && byte < 0xE0 ? 1 : 0;
    return missing_ == 0;
}

int FindLineStartingWith(HWND listBox, int after, std::string_view character) {
    auto* self = reinterpret_cast<ListBox*>(GetWindowLongPtrA(listBox, 0));
    if (!self || !self->HasStrings() || character.empty()) return -1;
    return self->lines_.FindFrom(after + 1, [character](const ListBoxLine& line) {
        const char* text = line.text.data();
        size_t length = line.text.empty() ? 0 : kernel::CharacterLength(text, text + line.text.size());
        return kernel::EqualIgnoringCase(std::string_view(text, length), character);
    });
}

void RegisterListBoxClass() {
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = ListBox::Procedure;
    cls.cbWndExtra = sizeof(ListBox*);
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = "LISTBOX";
    RegisterClassA(&cls);
    cls.lpfnWndProc = ListBox::DropDownProcedure;
    cls.lpszClassName = "ComboLBox";
    RegisterClassA(&cls);
}

LRESULT CALLBACK ListBox::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch(window, message, wParam, lParam, false);
}

LRESULT CALLBACK ListBox::DropDownProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch(window, message, wParam, lParam, true);
}

LRESULT ListBox::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool dropDown) {
    auto* self = window == lastWindow ? lastObject : reinterpret_cast<ListBox*>(GetWindowLongPtrA(window, 0));
    if (!self) {
        if (message != WM_NCCREATE) return DefWindowProcA(window, message, wParam, lParam);
        auto made = std::unique_ptr<ListBox>(new (std::nothrow) ListBox(window, dropDown));
        if (!made) return FALSE;
        self = made.release();
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
    }
    lastWindow = window;
    lastObject = self;
    ++self->depth_;
    LRESULT result = self->Handle(message, wParam, lParam);
    if (--self->depth_ == 0 && self->destroyed_) delete self;
    return result;
}

LRESULT ListBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_CREATE: Create(*reinterpret_cast<const CREATESTRUCTA*>(lParam)); return 0;
        case WM_NCDESTROY:
            destroyed_ = true;
            SetWindowLongPtrA(window_, 0, 0);
            if (lastWindow == window_) lastWindow = nullptr;
            break;
        case LB_ADDSTRING: return AddLine(lParam);
        case LB_INSERTSTRING: return InsertLine(index, lParam);
        case LB_DELETESTRING: return DeleteLine(index);
        case LB_RESETCONTENT: ResetContent(); return 0;
        case LB_GETCOUNT: return lines_.Count();
        case LB_GETTEXT: return GetText(index, reinterpret_cast<char*>(lParam));
        case LB_GETTEXTLEN:
            if (!Valid(index)) return LB_ERR;
            return HasStrings() ? static_cast<LRESULT>(lines_.At(index).text.size()) : sizeof(ULONG_PTR);
        case LB_GETITEMDATA: return Valid(index) ? static_cast<LRESULT>(lines_.At(index).data) : LB_ERR;
        case LB_SETITEMDATA:
            if (!Valid(index)) return LB_ERR;
            lines_.At(index).data = static_cast<ULONG_PTR>(lParam);
            if (OwnerDrawn()) RedrawLine(index, ODA_DRAWENTIRE);
            return TRUE;
        case LB_GETCURSEL:
            if (MultiSelect()) return Caret();
            return selected_ >= 0 ? selected_ : LB_ERR;
        case LB_SETCURSEL: return SetCurSel(index);
        case LB_GETSEL: return Valid(index) ? static_cast<LRESULT>(Selected(index)) : LB_ERR;
        case LB_SETSEL: return SetSel(wParam != 0, static_cast<int>(lParam));
        case LB_GETSELCOUNT: {
            if (!MultiSelect()) return LB_ERR;
            int count = 0;
            lines_.ForEach([&count](ListBoxLine& line) { count += line.selected; });
            return count;
        }
        case LB_GETSELITEMS: {
            if (!MultiSelect() || !lParam) return LB_ERR;
            auto* out = reinterpret_cast<int*>(lParam);
            int stored = 0, at = 0;
            lines_.ForEach([&](ListBoxLine& line) {
                if (line.selected && stored < index) out[stored++] = at;
                ++at;
            });
            return stored;
        }
        case LB_GETCARETINDEX: return Caret();
        case LB_SETCARETINDEX:
            if (!Valid(index)) return LB_ERR;
            SetCaret(index);
            EnsureVisible(index, lParam != 0);
            return LB_OKAY;
        case LB_GETANCHORINDEX: return anchor_;
        case LB_SETANCHORINDEX:
            if (!Valid(index)) return LB_ERR;
            anchor_ = index;
            return LB_OKAY;
        case LB_FINDSTRING: return Find(index, lParam, false);
        case LB_FINDSTRINGEXACT: return Find(index, lParam, true);
        case LB_SELECTSTRING: {
            if (MultiSelect()) return LB_ERR;
            LRESULT found = Find(index, lParam, false);
            if (found >= 0) SetCurSel(static_cast<int>(found));
            return found;
        }
        case LB_GETTOPINDEX: return top_;
        case LB_SETTOPINDEX:
            if (!Valid(index) && index != 0) return LB_ERR;
            SetTop(index);
            return LB_OKAY;
        case LB_GETITEMRECT:
            if ((!Valid(index) && index != 0) || !lParam) return LB_ERR;
            *reinterpret_cast<RECT*>(lParam) = LineRect(index);
            return LB_OKAY;
        case LB_GETITEMHEIGHT:
            if (Variable() && !Valid(index)) return LB_ERR;
            return LineHeight(index);
        case LB_SETITEMHEIGHT: {
            int height = LOWORD(lParam);
            if (height <= 0 || height > kMaxItemHeight || (Variable() && !Valid(index))) return LB_ERR;
            if (Variable()) lines_.At(index).height = static_cast<uint8_t>(height);
            else itemHeight_ = height;
            SetTop(top_);
            UpdateScrollBars();
            InvalidateRect(window_, nullptr, TRUE);
            return LB_OKAY;
        }
        case LB_SETCOLUMNWIDTH:
            columnWidth_ = std::max(0, index);
            SetTop(top_);
            UpdateScrollBars();
            InvalidateRect(window_, nullptr, TRUE);
            return 0;
        case LB_SETTABSTOPS: {
            if (!(style_ & LBS_USETABSTOPS) || (index > 0 && !lParam)) return FALSE;
            const int* stops = reinterpret_cast<const int*>(lParam);
            tabStops_.assign(stops, stops + std::max(0, index));
            InvalidateRect(window_, nullptr, TRUE);
            return TRUE;
        }
        case LB_ITEMFROMPOINT: {
            int line = LineAt(point);
            if (line >= 0) return MAKELONG(line, 0);
            int nearest = std::clamp(top_ + std::max(0, static_cast<int>(point.y)) / std::max(1, itemHeight_), 0,
                                     std::max(0, lines_.Count() - 1));
            return MAKELONG(nearest, 1);
        }
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            averageCharWidth_ = FontMetrics().tmAveCharWidth;
            if (!OwnerDrawn()) itemHeight_ = FontMetrics().tmHeight;
            SetTop(top_);
            UpdateScrollBars();
            if (LOWORD(lParam)) InvalidateRect(window_, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_SETREDRAW:
            redraw_ = wParam != 0;
            DefWindowProcA(window_, message, wParam, lParam);
            if (redraw_ && staleWhileHidden_) {
                staleWhileHidden_ = false;
                SetTop(top_);
                UpdateScrollBars();
                InvalidateRect(window_, nullptr, TRUE);
            }
            return 0;
        case WM_SIZE:
            SetTop(top_);
            UpdateScrollBars();
            if (MultiColumn()) InvalidateRect(window_, nullptr, TRUE);
            return 0;
        case WM_WINDOWPOSCHANGING: SnapHeight(*reinterpret_cast<WINDOWPOS*>(lParam)); break;
        case WM_ENABLE: InvalidateRect(window_, nullptr, TRUE); return 0;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_SETFOCUS: FocusChanged(true); return 0;
        case WM_KILLFOCUS: FocusChanged(false); return 0;
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;  // painting covers every pixel
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: ButtonDown(point, wParam, message == WM_LBUTTONDBLCLK); return 0;
        case WM_MOUSEMOVE: MouseMove(point); return 0;
        case WM_LBUTTONUP: ButtonUp(point); return 0;
        case WM_CAPTURECHANGED:
            if (dropDown_ && !trackingScrollBar_ && dropDownOwner_) dropDownOwner_->ListDismissed();
            else if (pressed_) FinishPress();
            return 0;
        case WM_CANCELMODE:
            if (pressed_ && GetCapture() == window_) ReleaseCapture();
            return 0;
        case WM_MOUSEACTIVATE:
            if (dropDown_) return MA_NOACTIVATE;  // the combo box's dialog stays active
            break;
        case WM_KEYDOWN: KeyDown(wParam); return 0;
        case WM_CHAR: Char(static_cast<unsigned char>(wParam)); return 0;
        case WM_MOUSEWHEEL: Wheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
        case WM_VSCROLL: Scroll(SB_VERT, wParam); return 0;
        case WM_HSCROLL: Scroll(SB_HORZ, wParam); return 0;
        default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void ListBox::Create(const CREATESTRUCTA& create) {
    style_ = static_cast<DWORD>(create.style);
    verticalBar_ = style_ & WS_VSCROLL;
    horizontalBar_ = style_ & WS_HSCROLL;
    if (dropDown_ && create.lpCreateParams) {
        const auto* params = static_cast<const DropDownParams*>(create.lpCreateParams);
        combo_ = params->combo;
        dropDownOwner_ = params->owner;
    }
    TEXTMETRICA metrics = FontMetrics();
    itemHeight_ = std::clamp<int>(metrics.tmHeight, 1, kMaxItemHeight);
    averageCharWidth_ = metrics.tmAveCharWidth;
    if (OwnerDrawn() && !Variable()) itemHeight_ = Measure(0, 0);
    // A single column scrolls only vertically; several columns only horizontally.
    if (horizontalBar_ && !MultiColumn()) {
        horizontalBar_ = false;
        ShowScrollBar(window_, SB_HORZ, FALSE);
    }
    if (verticalBar_ && MultiColumn()) {
        verticalBar_ = false;
        ShowScrollBar(window_, SB_VERT, FALSE);
    }
    UpdateScrollBars();
    if (!(style_ & LBS_NOINTEGRALHEIGHT) && !Variable()) {
        RECT outer;
        GetWindowRect(window_, &outer);
        SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// ---- lines -------------------------------------------------------------------------------------------------------

LRESULT ListBox::AddLine(LPARAM lParam) {
    int index = lines_.Count();
    if ((style_ & LBS_SORT) && HasStrings()) {
        std::string_view text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        // Lines that come in order, as a copy of another sorted list does, each go after the last line: one
        // comparison instead of a search.
        if (index == 0 || CompareLineTexts(text, lines_.At(index - 1).text) < 0)
            index = lines_.UpperBound(
                [text](const ListBoxLine& line) { return CompareLineTexts(text, line.text) < 0; });
    }
    return InsertLine(index, lParam);
}

LRESULT ListBox::InsertLine(int index, LPARAM lParam) {
    const int count = lines_.Count();
    if (index == -1) index = count;
    if (index < 0 || index > count) return LB_ERR;
    try {
        ListBoxLine line;
        if (HasStrings()) line.text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        else line.data = static_cast<ULONG_PTR>(lParam);
        line.height = static_cast<uint8_t>(itemHeight_);
        lines_.Insert(index, std::move(line));
    } catch (const std::bad_alloc&) {
        Notify(LBN_ERRSPACE);
        return LB_ERRSPACE;
    }
    for (int* at : {&selected_, &caret_, &anchor_})
        if (*at >= index) ++*at;
    if (Variable()) {
        // The line is in place first, so that the owner can read it while measuring.
        int height = Measure(index, lParam);
        if (destroyed_) return index;
        if (Valid(index)) lines_.At(index).height = static_cast<uint8_t>(height);
    }
    LinesChanged(index);
    return index;
}

LRESULT ListBox::DeleteLine(int index) {
    if (!Valid(index)) return LB_ERR;
    lines_.Remove(index);
    const int count = lines_.Count();
    if (selected_ == index) selected_ = -1;
    else if (selected_ > index) --selected_;
    // The caret and the anchor stay at their place, which the next line now takes.
    for (int* at : {&caret_, &anchor_})
        if (*at > index || *at == count) --*at;
    LinesChanged(index);
    return count;
}

void ListBox::ResetContent() {
    lines_.Clear();
    selected_ = caret_ = anchor_ = -1;
    top_ = 0;
    LinesChanged(0);
}

LRESULT ListBox::GetText(int index, char* buffer) const {
    if (!Valid(index)) return LB_ERR;
    const ListBoxLine& line = lines_.At(index);
    if (!HasStrings()) {
        if (buffer) std::memcpy(buffer, &line.data, sizeof line.data);
        return sizeof line.data;
    }
    if (buffer) std::memcpy(buffer, line.text.c_str(), line.text.size() + 1);
    return static_cast<LRESULT>(line.text.size());
}

LRESULT ListBox::Find(int start, LPARAM lParam, bool exact) const {
    if (HasStrings() && !lParam) return LB_ERR;
    int from = start < 0 || start >= lines_.Count() ? 0 : start + 1;
    int found;
    if (!HasStrings()) {
        found = lines_.FindFrom(from, [lParam](const ListBoxLine& line) {
            return line.data == static_cast<ULONG_PTR>(lParam);
        });
    } else {
        std::string_view text = reinterpret_cast<const char*>(lParam);
        found = lines_.FindFrom(from, [text, exact](const ListBoxLine& line) {
            std::string_view candidate = line.text;
            if (!exact) candidate = candidate.substr(0, text.size());
            return kernel::EqualIgnoringCase(candidate, text);
        });
    }
    return found >= 0 ? found : LB_ERR;
}

int ListBox::Measure(int index, ULONG_PTR data) {
    MEASUREITEMSTRUCT measure{ControlType(), ControlId(), static_cast<UINT>(index),
                              static_cast<UINT>(ClientWidth()), static_cast<UINT>(itemHeight_), data};
    SendMessageA(Owner(), WM_MEASUREITEM, ControlId(), reinterpret_cast<LPARAM>(&measure));
    return std::clamp(static_cast<int>(measure.itemHeight), 1, kMaxItemHeight);
}

void ListBox::LinesChanged(int from) {
    if (!redraw_) {
        // Nothing is drawn and the window system drops invalidations meanwhile; WM_SETREDRAW catches up once.
        staleWhileHidden_ = true;
        return;
    }
    int oldTop = top_;
    SetTop(top_);
    RECT area{0, 0, ClientWidth(), ClientHeight()};
    if (top_ == oldTop && !MultiColumn() && from >= top_) area.top = std::max(0, static_cast<int>(LineRect(from).top));
    if (area.top < area.bottom) InvalidateRect(window_, &area, FALSE);
    UpdateScrollBars();
}

// ---- selection ---------------------------------------------------------------------------------------------------

bool ListBox::Selected(int index) const {
    if (!Valid(index)) return false;
    return MultiSelect() ? lines_.At(index).selected : index == selected_;
}

int ListBox::Caret() const { return caret_ >= 0 ? caret_ : (lines_.Count() > 0 ? 0 : -1); }

int ListBox::KeyboardOrigin() const { return caret_ >= 0 ? caret_ : selected_; }

void ListBox::SetSelection(int index) {
    if (selected_ == index) return;
    int old = selected_;
    selected_ = index;
    RedrawLine(old, ODA_SELECT);
    RedrawLine(index, ODA_SELECT);
}

bool ListBox::SetLineSelected(int index, bool selected) {
    ListBoxLine& line = lines_.At(index);
    if (line.selected == selected) return false;
    line.selected = selected;
    RedrawLine(index, ODA_SELECT);
    return true;
}

bool ListBox::SelectRange(int from, int to, bool keepOthers) {
    if (from > to) std::swap(from, to);
    bool changed = false;
    int at = 0;
    lines_.ForEach([&](ListBoxLine& line) {
        bool wanted = (at >= from && at <= to) || (keepOthers && line.selected);
        changed |= line.selected != wanted;
        line.selected = wanted;
        ++at;
    });
    if (changed) InvalidateRect(window_, nullptr, FALSE);
    return changed;
}

void ListBox::SetCaret(int index) {
    if (caret_ == index) return;
    int old = Caret();
    caret_ = index;
    if (focused_ && old != Caret()) {
        RedrawLine(old, ODA_FOCUS);
        RedrawLine(Caret(), ODA_FOCUS);
    }
}

LRESULT ListBox::SetCurSel(int index) {
    if (MultiSelect()) return LB_ERR;
    if (!Valid(index)) {
        SetSelection(-1);
        return LB_ERR;
    }
    SetSelection(index);
    SetCaret(index);
    EnsureVisible(index);
    return index;
}

LRESULT ListBox::SetSel(bool select, int index) {
    if (!MultiSelect() || (index != -1 && !Valid(index))) return LB_ERR;
    if (index == -1) {
        bool changed = false;
        lines_.ForEach([&](ListBoxLine& line) {
            changed |= line.selected != select;
            line.selected = select;
        });
        if (changed) InvalidateRect(window_, nullptr, FALSE);
        return LB_OKAY;
    }
    SetLineSelected(index, select);
    SetCaret(index);
    anchor_ = index;
    return LB_OKAY;
}

}  // namespace platform::user
