// The combo box: its window procedure, its lines, which live in its list, its popup, and its field. How a line is
// chosen, by messages, the drop-down list or the keys, is in ComboBoxChoice.cpp.

#include "platform/controls/combobox/ComboBox.h"

#include <algorithm>
#include <cstring>

#include "platform/controls/Controls.h"

namespace platform::controls {
namespace {

constexpr char kFrameClass[] = "KorvoDropDownFrame";
constexpr int kListId = 1000;  // the id Windows gives a combo box's list

}  // namespace

void RegisterComboBoxClass() {
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = ComboBox::Procedure;
    cls.cbWndExtra = ComboBox::kExtraBytes;
    cls.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    cls.lpszClassName = "COMBOBOX";
    RegisterClassA(&cls);
    WNDCLASSA frame{};
    frame.lpfnWndProc = ComboBox::FrameProcedure;
    frame.hCursor = cls.hCursor;
    frame.lpszClassName = kFrameClass;
    RegisterClassA(&frame);
}

// The popup is only a frame: a top-level window's edges and scroll bars are not drawn, a child's are, so the list
// inside it is a child with WS_BORDER and WS_VSCROLL.
LRESULT CALLBACK ComboBox::FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
        case WM_SIZE:
            if (HWND list = GetWindow(window, GW_CHILD)) MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            return 0;
        case WM_ERASEBKGND: return 1;
        default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

ComboBox::ComboBox(HWND window, const CREATESTRUCTA&) : window_(window) {}

LRESULT ComboBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = false;
    LRESULT result = Offer({&ComboBox::HandleLines, &ComboBox::HandleChoice, &ComboBox::HandleField,
                            &ComboBox::HandleInput},
                           message, wParam, lParam, handled);
    if (handled) return result;
    switch (message) {
        case WM_CREATE: return Create(*reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
        case WM_DESTROY:
            if (IsWindow(frame_)) DestroyWindow(frame_);
            frame_ = list_ = nullptr;
            return 0;
        case WM_WINDOWPOSCHANGING:
            // The field keeps its height; Windows takes a larger one as the height of the dropped list.
            if (auto* position = reinterpret_cast<WINDOWPOS*>(lParam); !(position->flags & SWP_NOSIZE))
                position->cy = FullHeight();
            break;
        default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

// Most of them go on to the list, which holds the lines.
LRESULT ComboBox::HandleLines(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case CB_ADDSTRING: return ToList(LB_ADDSTRING, 0, lParam);
        case CB_INSERTSTRING: return ToList(LB_INSERTSTRING, wParam, lParam);
        case CB_DELETESTRING: {
            LRESULT result = ToList(LB_DELETESTRING, wParam);
            InvalidateRect(window_, nullptr, FALSE);
            return result;
        }
        case CB_RESETCONTENT:
            ToList(LB_RESETCONTENT);
            text_.clear();
            chosenBeforeDrop_ = -1;
            InvalidateRect(window_, nullptr, FALSE);
            return CB_OKAY;
        case CB_GETCOUNT: return ToList(LB_GETCOUNT);
        case CB_GETLBTEXT: return ToList(LB_GETTEXT, wParam, lParam);
        case CB_GETLBTEXTLEN: return ToList(LB_GETTEXTLEN, wParam);
        case CB_GETITEMDATA: return ToList(LB_GETITEMDATA, wParam);
        case CB_SETITEMDATA: {
            LRESULT result = ToList(LB_SETITEMDATA, wParam, lParam);
            if (static_cast<int>(wParam) == Selection()) InvalidateRect(window_, nullptr, FALSE);
            return result;
        }
        case CB_FINDSTRING: return ToList(LB_FINDSTRING, wParam, lParam);
        case CB_FINDSTRINGEXACT: return ToList(LB_FINDSTRINGEXACT, wParam, lParam);
        case CB_GETTOPINDEX: return ToList(LB_GETTOPINDEX);
        case CB_SETTOPINDEX: return ToList(LB_SETTOPINDEX, wParam);
        case CB_GETITEMHEIGHT: return static_cast<int>(wParam) == -1 ? fieldHeight_ : ToList(LB_GETITEMHEIGHT, wParam);
        case CB_SETITEMHEIGHT: return SetItemHeight(wParam, lParam);
        default: handled = false; return 0;
    }
}

// Index -1 is the field's line, the others the list's.
LRESULT ComboBox::SetItemHeight(WPARAM index, LPARAM height) {
    if (static_cast<int>(index) != -1) return ToList(LB_SETITEMHEIGHT, index, MAKELPARAM(height, 0));
    if (height <= 0 || height > ListBox::kMaxItemHeight) return CB_ERR;
    fieldHeight_ = static_cast<int>(height);
    FitHeight();
    InvalidateRect(window_, nullptr, FALSE);
    return CB_OKAY;
}

LRESULT ComboBox::HandleField(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    handled = true;
    switch (message) {
        case WM_SETTEXT: return SetText(reinterpret_cast<const char*>(lParam));
        case WM_GETTEXT: return GetText(wParam, reinterpret_cast<char*>(lParam));
        case WM_GETTEXTLENGTH: return GetText(0, nullptr);
        case WM_SETFONT: SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        // WS_VSCROLL is the list's: the combo box draws its own edges and has no frame of the window system's.
        case WM_NCCALCSIZE: return 0;
        case WM_NCPAINT: return 0;
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;
        default: handled = false; return 0;
    }
}

void ComboBox::SetFont(HFONT font, bool redraw) {
    font_ = font;
    ToList(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (!OwnerDrawn()) {
        fieldHeight_ = FontFieldHeight();
        FitHeight();
    }
    if (redraw) InvalidateRect(window_, nullptr, TRUE);
}

bool ComboBox::Create(const CREATESTRUCTA& create) {
    style_ = static_cast<DWORD>(create.style);
    fieldHeight_ = FontFieldHeight();
    if (OwnerDrawn()) {
        // The field is measured first (itemID -1), then the list's lines (itemID 0) when the list is made.
        UINT id = static_cast<UINT>(GetDlgCtrlID(window_));
        MEASUREITEMSTRUCT measure{ODT_COMBOBOX, id, static_cast<UINT>(-1), static_cast<UINT>(create.cx),
                                  static_cast<UINT>(fieldHeight_), 0};
        SendMessageA(GetParent(window_), WM_MEASUREITEM, id, reinterpret_cast<LPARAM>(&measure));
        if (Destroyed()) return false;
        fieldHeight_ = std::clamp(static_cast<int>(measure.itemHeight), 1, ListBox::kMaxItemHeight);
    }
    frame_ = CreateWindowExA(WS_EX_TOOLWINDOW, kFrameClass, "", WS_POPUP, 0, 0, 0, 0, window_, nullptr, nullptr,
                             nullptr);
    if (!frame_) return false;
    DWORD listStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
    if (style_ & CBS_SORT) listStyle |= LBS_SORT;
    if (HasStrings()) listStyle |= LBS_HASSTRINGS;
    if (style_ & CBS_OWNERDRAWFIXED) listStyle |= LBS_OWNERDRAWFIXED;
    if (style_ & CBS_OWNERDRAWVARIABLE) listStyle |= LBS_OWNERDRAWVARIABLE;
    if (style_ & CBS_DISABLENOSCROLL) listStyle |= LBS_DISABLENOSCROLL;
    DropDownParams params{window_, this};
    list_ = CreateWindowExA(0, "ComboLBox", "", listStyle, 0, 0, 0, 0, frame_,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(kListId)), nullptr, &params);
    if (!list_ || Destroyed()) return false;
    FitHeight();
    return true;
}

LRESULT ComboBox::ToList(UINT message, WPARAM wParam, LPARAM lParam) const {
    return list_ ? SendMessageA(list_, message, wParam, lParam) : CB_ERR;
}

int ComboBox::Selection() const { return static_cast<int>(ToList(LB_GETCURSEL)); }

std::string ComboBox::LineText(int index) const {
    LRESULT length = ToList(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (!HasStrings() || length < 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, ToList(LB_GETTEXT, static_cast<WPARAM>(index),
                                                                reinterpret_cast<LPARAM>(text.data())))));
    return text;
}

// The field's line is a little higher than the list's: the font's height and a pixel above and below.
int ComboBox::FontFieldHeight() const {
    return std::clamp<int>(FontMetrics(Font()).tmHeight + 2, 1, ListBox::kMaxItemHeight);
}

int ComboBox::FullHeight() const { return fieldHeight_ + 2 * GetSystemMetrics(SM_CYEDGE) + 2; }

void ComboBox::FitHeight() {
    RECT outer;
    GetWindowRect(window_, &outer);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, FullHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A drop-down list has no field to write in: its text is always its chosen line's, and a window text chooses no line
// (Windows answers CB_ERR, and CB_SELECTSTRING is the message that chooses by text).
LRESULT ComboBox::SetText(const char* text) {
    if (DropDownList()) return CB_ERR;
    text_ = text ? text : "";
    InvalidateRect(window_, nullptr, FALSE);
    return TRUE;
}

LRESULT ComboBox::GetText(size_t size, char* buffer) const {
    std::string shown = DropDownList() ? LineText(Selection()) : text_;
    if (!buffer) return static_cast<LRESULT>(shown.size());
    if (size == 0) return 0;
    size_t length = std::min(shown.size(), size - 1);
    std::memcpy(buffer, shown.data(), length);
    buffer[length] = '\0';
    return static_cast<LRESULT>(length);
}

void ComboBox::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (!dc) {
        EndPaint(window_, &paint);
        return;
    }
    const bool enabled = IsWindowEnabled(window_);
    RECT inner;
    GetClientRect(window_, &inner);
    DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    RECT button{std::max(inner.left, inner.right - GetSystemMetrics(SM_CXVSCROLL)), inner.top, inner.right,
                inner.bottom};
    DrawFrameControl(dc, &button, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (enabled ? 0 : DFCS_INACTIVE) | (dropped_ ? DFCS_PUSHED | DFCS_FLAT : 0));
    RECT field{inner.left, inner.top, button.left, inner.bottom};
    SelectObject(dc, Font());
    FillRect(dc, &field, ControlColors(window_, dc, DropDownList() ? WM_CTLCOLORLISTBOX : WM_CTLCOLOREDIT));
    RECT item = field;
    InflateRect(&item, -1, -1);
    const int selection = Selection();
    if (OwnerDrawn()) {
        UINT id = static_cast<UINT>(GetDlgCtrlID(window_));
        UINT state = ODS_COMBOBOXEDIT | (focused_ ? ODS_SELECTED | ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
        ULONG_PTR data =
            selection >= 0 ? static_cast<ULONG_PTR>(ToList(LB_GETITEMDATA, static_cast<WPARAM>(selection))) : 0;
        DRAWITEMSTRUCT draw{ODT_COMBOBOX, id,  static_cast<UINT>(selection), ODA_DRAWENTIRE, state, window_, dc,
                            item,         data};
        SendMessageA(GetParent(window_), WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&draw));
    } else {
        if (focused_) FillRect(dc, &item, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetTextColor(dc, !enabled ? GetSysColor(COLOR_GRAYTEXT)
                         : focused_ ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                    : GetTextColor(dc));
        SetBkMode(dc, TRANSPARENT);
        std::string shown = DropDownList() ? LineText(selection) : text_;
        RECT text = item;
        text.left += 1;
        DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (focused_) DrawFocusRect(dc, &item);
    }
    EndPaint(window_, &paint);
}

bool ComboBox::Notify(int code) {
    NotifyParent(window_, static_cast<WORD>(code));
    return !Destroyed();
}

}  // namespace platform::controls
