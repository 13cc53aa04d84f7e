// Drawing the list box: only the lines that show, in the colours its parent gives it, or by the parent itself
// through WM_DRAWITEM for the owner-drawn styles.

#include <algorithm>

#include "platform/controls/listbox/ListBox.h"

namespace platform::controls {
namespace {

constexpr int kTextIndent = 2;
constexpr size_t kMaxDrawnBytes = 1024;  // far more than a line's width shows; keeps a huge line cheap to draw
constexpr int kDefaultTabStop = 32;      // dialog units

std::string_view ShownPart(const std::string& text) {
    if (text.size() <= kMaxDrawnBytes) return text;
    size_t end = kMaxDrawnBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // never half a character
    return std::string_view(text).substr(0, end);
}

}  // namespace

bool ListBox::CanDrawNow() const { return redraw_ && IsWindowVisible(window_); }

ListBox::Colours ListBox::PrepareDC(HDC dc) const {
    SelectObject(dc, Font());
    HBRUSH brush = ControlColors(Owner(), window_, dc, WM_CTLCOLORLISTBOX);
    return {brush, GetTextColor(dc), GetBkColor(dc)};
}

void ListBox::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (!dc) {
        EndPaint(window_, &paint);
        return;
    }
    const Colours colours = PrepareDC(dc);
    const RECT area = paint.rcPaint;
    const int width = ClientWidth(), height = ClientHeight();
    if (MultiColumn()) {
        FillRect(dc, &area, colours.brush);
        int last = std::min(lines_.Count(), top_ + (VisibleColumns() + 1) * Rows());
        for (int i = top_; i < last && !Destroyed(); ++i) {
            RECT rect = LineRect(i);
            RECT shown;
            if (IntersectRect(&shown, &rect, &area)) DrawLine(dc, i, rect, ODA_DRAWENTIRE, colours);
        }
    } else {
        int y = 0;
        for (int i = top_; i < lines_.Count() && y < height && !Destroyed(); ++i) {
            RECT rect{0, y, width, y + LineHeight(i)};
            if (rect.bottom > area.top && rect.top < area.bottom) DrawLine(dc, i, rect, ODA_DRAWENTIRE, colours);
            y = rect.bottom;
        }
        RECT rest{0, y, width, height};
        if (rest.top < rest.bottom) FillRect(dc, &rest, colours.brush);
    }
    if (lines_.Count() == 0 && focused_ && !Destroyed()) DrawEmptyFocus(dc, ODA_FOCUS, colours);
    EndPaint(window_, &paint);
}

void ListBox::DrawLine(HDC dc, int index, const RECT& rect, UINT action, const Colours& colours) {
    const ListBoxLine& line = lines_.At(index);
    const bool selected = Selected(index);
    const bool focus = focused_ && index == Caret();
    const bool enabled = IsWindowEnabled(ItemWindow());
    if (OwnerDrawn()) {
        UINT state = (selected ? ODS_SELECTED : 0) | (focus ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
        DRAWITEMSTRUCT item{ControlType(), ControlId(), static_cast<UINT>(index), action, state, ItemWindow(), dc, rect,
                            line.data};
        // Every line starts from the prepared colours, whatever the owner did with the previous one.
        SelectObject(dc, Font());
        SetTextColor(dc, colours.text);
        SetBkColor(dc, colours.back);
        SetBkMode(dc, OPAQUE);
        SendMessageA(Owner(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return;
    }
    FillRect(dc, &rect, selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : colours.brush);
    SetTextColor(dc, !enabled   ? GetSysColor(COLOR_GRAYTEXT)
                     : selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                : colours.text);
    SetBkMode(dc, TRANSPARENT);
    DrawLineText(dc, rect, line.text);
    if (focus) DrawFocusRect(dc, &rect);
}

// An empty list with the focus still shows where the first line would be.
void ListBox::DrawEmptyFocus(HDC dc, UINT action, const Colours& colours) {
    RECT rect = LineRect(0);
    if (OwnerDrawn()) {
        DRAWITEMSTRUCT item{ControlType(), ControlId(), static_cast<UINT>(-1), action,
                            static_cast<UINT>(focused_ ? ODS_FOCUS : 0), ItemWindow(), dc, rect, 0};
        SendMessageA(Owner(), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
        return;
    }
    FillRect(dc, &rect, colours.brush);
    if (focused_) DrawFocusRect(dc, &rect);
}

void ListBox::DrawLineText(HDC dc, const RECT& rect, const std::string& text) const {
    std::string_view shown = ShownPart(text);
    const int origin = rect.left + kTextIndent;
    auto draw = [&](int x, std::string_view piece) {
        ExtTextOutA(dc, x, rect.top, ETO_CLIPPED, &rect, piece.data(), static_cast<UINT>(piece.size()), nullptr);
    };
    if (!(style_ & LBS_USETABSTOPS) || shown.find('\t') == std::string_view::npos) return draw(origin, shown);
    // Tab stops are in dialog units: a quarter of the average character width each.
    auto pixels = [this](int units) { return units * averageCharWidth_ / 4; };
    int x = origin;
    for (size_t start = 0;;) {
        size_t tab = shown.find('\t', start);
        std::string_view piece =
            shown.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
        draw(x, piece);
        if (tab == std::string_view::npos || x >= rect.right) return;
        SIZE size{};
        GetTextExtentPoint32A(dc, piece.data(), static_cast<int>(piece.size()), &size);
        int offset = x + size.cx - origin;
        int next = offset + averageCharWidth_;  // past the last stop a tab is a blank
        if (tabStops_.size() <= 1) {
            int every = std::max(1, pixels(tabStops_.empty() ? kDefaultTabStop : tabStops_[0]));
            next = (offset / every + 1) * every;
        } else {
            for (int stop : tabStops_)
                if (pixels(stop) > offset) {
                    next = pixels(stop);
                    break;
                }
        }
        x = origin + next;
        start = tab + 1;
    }
}

void ListBox::RedrawLine(int index, UINT action) {
    if (!CanDrawNow()) return;
    const bool emptyFocus = index == -1 && lines_.Count() == 0 && action == ODA_FOCUS;
    RECT rect = LineRect(emptyFocus ? 0 : index);
    if (!emptyFocus) {
        if (!Valid(index)) return;
        RECT client{0, 0, ClientWidth(), ClientHeight()}, shown;
        if (!IntersectRect(&shown, &rect, &client)) return;
    }
    HDC dc = GetDC(window_);
    if (!dc) return;
    Colours colours = PrepareDC(dc);
    if (emptyFocus) DrawEmptyFocus(dc, action, colours);
    else if (Valid(index)) DrawLine(dc, index, rect, action, colours);
    ReleaseDC(window_, dc);
}

}  // namespace platform::controls
