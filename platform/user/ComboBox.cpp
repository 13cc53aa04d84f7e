// The combo box: its messages, most of which go on to its list, its popup, and its field. How the user chooses a
// line, with the drop-down list or the keys, is in ComboBoxChoice.cpp.

#include "platform/user/ComboBox.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "platform/kernel/Locale.h"
#include "platform/user/Controls.h"

namespace platform::user {
namespace {

constexpr char kFrameClass[] = "KorvoDropDownFrame";
constexpr int kListId = 1000;  // the id Windows gives a combo box's list
constexpr int kMaxItemHeight = 255;

}  // namespace

void RegisterComboBoxClass() {
    WNDCLASSA cls{};
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = ComboBox::Procedure;
    cls.cbWndExtra = sizeof(ComboBox*);
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

LRESULT CALLBACK ComboBox::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ComboBox*>(GetWindowLongPtrA(window, 0));
    if (!self) {
        if (message != WM_NCCREATE) return DefWindowProcA(window, message, wParam, lParam);
        auto made = std::unique_ptr<ComboBox>(new (std::nothrow) ComboBox(window));
        if (!made) return FALSE;
        self = made.release();
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(self));
    }
    ++self->depth_;
    LRESULT result = self->Handle(message, wParam, lParam);
    if (--self->depth_ == 0 && self->destroyed_) delete self;
    return result;
}

LRESULT ComboBox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const int index = static_cast<int>(wParam);
    switch (message) {
        case WM_CREATE: return Create(*reinterpret_cast<const CREATESTRUCTA*>(lParam)) ? 0 : -1;
        case WM_DESTROY:
            if (IsWindow(frame_)) DestroyWindow(frame_);
            frame_ = list_ = nullptr;
            return 0;
        case WM_NCDESTROY:
            destroyed_ = true;
            SetWindowLongPtrA(window_, 0, 0);
            break;
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
            if (index == Selection()) InvalidateRect(window_, nullptr, FALSE);
            return result;
        }
        case CB_GETCURSEL: return ToList(LB_GETCURSEL);
        case CB_SETCURSEL: {
            LRESULT result = ToList(LB_SETCURSEL, wParam);
            if (dropped_) chosenBeforeDrop_ = Selection();
            if (!DropDownList()) text_ = LineText(Selection());
            InvalidateRect(window_, nullptr, FALSE);
            return result;
        }
        case CB_FINDSTRING: return ToList(LB_FINDSTRING, wParam, lParam);
        case CB_FINDSTRINGEXACT: return ToList(LB_FINDSTRINGEXACT, wParam, lParam);
        case CB_SELECTSTRING: {
            LRESULT found = ToList(LB_FINDSTRING, wParam, lParam);
            if (found >= 0) Handle(CB_SETCURSEL, static_cast<WPARAM>(found), 0);
            return found;
        }
        case CB_GETITEMHEIGHT: return index == -1 ? fieldHeight_ : ToList(LB_GETITEMHEIGHT, wParam);
        case CB_SETITEMHEIGHT:
            if (index != -1) return ToList(LB_SETITEMHEIGHT, wParam, MAKELPARAM(lParam, 0));
            if (lParam <= 0 || lParam > kMaxItemHeight) return CB_ERR;
            fieldHeight_ = static_cast<int>(lParam);
            FitHeight();
            InvalidateRect(window_, nullptr, FALSE);
            return CB_OKAY;
        case CB_SHOWDROPDOWN:
            if (wParam) DropDown();
            else CloseUp(false, false);
            return TRUE;
        case CB_GETDROPPEDSTATE: return dropped_;
        case CB_GETDROPPEDCONTROLRECT:
            if (!lParam) return CB_ERR;
            if (dropped_) GetWindowRect(frame_, reinterpret_cast<RECT*>(lParam));
            else *reinterpret_cast<RECT*>(lParam) = DroppedRect();
            return TRUE;
        case CB_SETDROPPEDWIDTH: droppedWidth_ = std::max(0, index); return droppedWidth_;
        case CB_GETDROPPEDWIDTH: return droppedWidth_;
        case CB_SETEXTENDEDUI: extendedUI_ = wParam != 0; return CB_OKAY;
        case CB_GETEXTENDEDUI: return extendedUI_;
        case CB_GETTOPINDEX: return ToList(LB_GETTOPINDEX);
        case CB_SETTOPINDEX: return ToList(LB_SETTOPINDEX, wParam);
        case WM_SETTEXT: return SetText(reinterpret_cast<const char*>(lParam));
        case WM_GETTEXT: return GetText(wParam, reinterpret_cast<char*>(lParam));
        case WM_GETTEXTLENGTH: return GetText(0, nullptr);
        case WM_SETFONT:
            font_ = reinterpret_cast<HFONT>(wParam);
            ToList(WM_SETFONT, wParam, FALSE);
            if (!OwnerDrawn()) {
                fieldHeight_ = FontFieldHeight();
                FitHeight();
            }
            if (LOWORD(lParam)) InvalidateRect(window_, nullptr, TRUE);
            return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_WINDOWPOSCHANGING:
            // The field keeps its height; Windows takes a larger one as the height of the dropped list.
            if (auto* position = reinterpret_cast<WINDOWPOS*>(lParam); !(position->flags & SWP_NOSIZE))
                position->cy = FullHeight();
            break;
        // WS_VSCROLL is the list's: the combo box draws its own edges and has no frame of the window system's.
        case WM_NCCALCSIZE: return 0;
        case WM_NCPAINT: return 0;
        case WM_PAINT: Paint(); return 0;
        case WM_ERASEBKGND: return 1;
        case WM_ENABLE:
            if (!wParam) CloseUp(false, false);
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_CANCELMODE: CloseUp(false, false); return 0;
        case WM_SETFOCUS:
            focused_ = true;
            InvalidateRect(window_, nullptr, FALSE);
            Notify(CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            CloseUp(false, false);
            if (destroyed_) return 0;
            focused_ = false;
            InvalidateRect(window_, nullptr, FALSE);
            Notify(CBN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!focused_) SetFocus(window_);
            if (destroyed_) return 0;
            if (dropped_) CloseUp(false, false);
            else DropDown();
            return 0;
        case WM_KEYDOWN: KeyDown(wParam); return 0;
        case WM_SYSKEYDOWN:
            if (wParam != VK_UP && wParam != VK_DOWN) break;
            if (dropped_) CloseUp(true, false);
            else DropDown();
            return 0;
        case WM_CHAR: Char(static_cast<unsigned char>(wParam)); return 0;
        case WM_MOUSEWHEEL:
            if (dropped_) return ToList(WM_MOUSEWHEEL, wParam, lParam);
            break;
        case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (dropped_ ? DLGC_WANTMESSAGE : 0);
        default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
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
        if (destroyed_) return false;
        fieldHeight_ = std::clamp(static_cast<int>(measure.itemHeight), 1, kMaxItemHeight);
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
    if (!list_ || destroyed_) return false;
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

HFONT ComboBox::Font() const { return font_ ? font_ : DefaultControlFont(); }

// The field's line is a little higher than the list's: the font's height and a pixel above and below.
int ComboBox::FontFieldHeight() const {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return std::clamp<int>(metrics.tmHeight + 2, 1, kMaxItemHeight);
}

int ComboBox::FullHeight() const { return fieldHeight_ + 2 * GetSystemMetrics(SM_CYEDGE) + 2; }

void ComboBox::FitHeight() {
    RECT outer;
    GetWindowRect(window_, &outer);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, FullHeight(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A drop-down list's text is its chosen line: setting a text chooses the line that has it, if any.
LRESULT ComboBox::SetText(const char* text) {
    std::string wanted = text ? text : "";
    if (!DropDownList()) {
        text_ = wanted;
        InvalidateRect(window_, nullptr, FALSE);
        return TRUE;
    }
    int current = Selection();
    if (current >= 0 && kernel::EqualIgnoringCase(LineText(current), wanted)) return TRUE;
    LRESULT found = ToList(LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wanted.c_str()));
    if (found < 0) return CB_ERR;
    Handle(CB_SETCURSEL, static_cast<WPARAM>(found), 0);
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
    HWND parent = GetParent(window_);
    UINT colourMessage = DropDownList() ? WM_CTLCOLORLISTBOX : WM_CTLCOLOREDIT;
    auto brush = parent ? reinterpret_cast<HBRUSH>(SendMessageA(parent, colourMessage, reinterpret_cast<WPARAM>(dc),
                                                                reinterpret_cast<LPARAM>(window_)))
                        : nullptr;
    if (!brush)
        brush = reinterpret_cast<HBRUSH>(DefWindowProcA(window_, colourMessage, reinterpret_cast<WPARAM>(dc),
                                                        reinterpret_cast<LPARAM>(window_)));
    FillRect(dc, &field, brush);
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
        SendMessageA(parent, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&draw));
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
    if (HWND parent = GetParent(window_))
        SendMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window_), code), reinterpret_cast<LPARAM>(window_));
    return !destroyed_;
}

}  // namespace platform::user
