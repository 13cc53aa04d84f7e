// The list box's window procedure and its lines. The selection is in ListBoxSelection.cpp, geometry and scrolling
// in ListBoxGeometry.cpp, input in ListBoxInput.cpp, drawing in ListBoxPainting.cpp.

#include "platform/controls/listbox/ListBox.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/kernel/Locale.h"
#include "platform/controls/Controls.h"

namespace platform::controls {
namespace {

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
    cls.cbWndExtra = ListBox::kExtraBytes;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = "LISTBOX";
    RegisterClassA(&cls);
    cls.lpfnWndProc = ListBox::ProcedureWith<ListBox::Kind::DropDown>;
    cls.lpszClassName = "ComboLBox";
    RegisterClassA(&cls);
}

ListBox::ListBox(HWND window, const CREATESTRUCTA&, Kind kind) : window_(window), dropDown_(kind == Kind::DropDown) {}

// The lines come first: a playlist's shuffle sends millions of their messages.
LRESULT ListBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = Offer({&ListBox::HandleLines, &ListBox::HandleSelection, &ListBox::HandleLayout,
                            &ListBox::HandleInput},
                           message, wParam, lParam, handled);
    if (handled) return result;
    switch (message) {
        case WM_CREATE: Create(*reinterpret_cast<const CREATESTRUCTA*>(lParam)); return 0;
        case WM_WINDOWPOSCHANGING: SnapHeight(*reinterpret_cast<WINDOWPOS*>(lParam)); break;
        case WM_ENABLE: InvalidateRect(window_, nullptr, TRUE); return 0;
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;  // painting covers every pixel
        case WM_MOUSEACTIVATE:
            if (dropDown_) return MA_NOACTIVATE;  // the combo box's dialog stays active
            break;
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

LRESULT ListBox::HandleLines(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const int index = static_cast<int>(wParam);
    handled = true;
    switch (message) {
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
        case LB_FINDSTRING: return Find(index, lParam, false);
        case LB_FINDSTRINGEXACT: return Find(index, lParam, true);
        default: handled = false; return 0;
    }
}

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
        if (Destroyed()) return index;
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

}  // namespace platform::controls
