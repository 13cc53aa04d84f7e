// Where the list box's lines are, which of them show, and the scroll bars that move them.

#include <algorithm>

#include "platform/controls/listbox/ListBox.h"

namespace platform::controls {
namespace {

constexpr int kDefaultColumnCharacters = 16;

}  // namespace

LRESULT ListBox::HandleLayout(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    const int index = static_cast<int>(wParam);
    handled = true;
    switch (message) {
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
        case LB_SETITEMHEIGHT: return SetItemHeight(index, LOWORD(lParam));
        case LB_SETCOLUMNWIDTH:
            columnWidth_ = std::max(0, index);
            Refit();
            InvalidateRect(window_, nullptr, TRUE);
            return 0;
        case LB_SETTABSTOPS: {
            if (!(style_ & LBS_USETABSTOPS) || (index > 0 && !lParam)) return FALSE;
            const int* stops = reinterpret_cast<const int*>(lParam);
            tabStops_.assign(stops, stops + std::max(0, index));
            InvalidateRect(window_, nullptr, TRUE);
            return TRUE;
        }
        case LB_ITEMFROMPOINT: return ItemFromPoint({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_SETFONT: SetFont(reinterpret_cast<HFONT>(wParam), LOWORD(lParam) != 0); return 0;
        case WM_GETFONT: return reinterpret_cast<LRESULT>(font_);
        case WM_SETREDRAW:
            redraw_ = wParam != 0;
            DefWindowProcA(window_, message, wParam, lParam);
            if (redraw_ && staleWhileHidden_) {
                staleWhileHidden_ = false;
                Refit();
                InvalidateRect(window_, nullptr, TRUE);
            }
            return 0;
        case WM_SIZE:
            Refit();
            if (MultiColumn()) InvalidateRect(window_, nullptr, TRUE);
            return 0;
        default: handled = false; return 0;
    }
}

LRESULT ListBox::SetItemHeight(int index, int height) {
    if (height <= 0 || height > kMaxItemHeight || (Variable() && !Valid(index))) return LB_ERR;
    if (Variable()) lines_.At(index).height = static_cast<uint8_t>(height);
    else itemHeight_ = height;
    Refit();
    InvalidateRect(window_, nullptr, TRUE);
    return LB_OKAY;
}

void ListBox::SetFont(HFONT font, bool redraw) {
    font_ = font;
    averageCharWidth_ = FontMetrics().tmAveCharWidth;
    if (!OwnerDrawn()) itemHeight_ = FontMetrics().tmHeight;
    Refit();
    if (redraw) InvalidateRect(window_, nullptr, TRUE);
}

// The line under the point, or with 1 in the high word the nearest line when none is.
LRESULT ListBox::ItemFromPoint(POINT point) const {
    int line = LineAt(point);
    if (line >= 0) return MAKELONG(line, 0);
    int nearest = std::clamp(top_ + std::max(0, static_cast<int>(point.y)) / std::max(1, itemHeight_), 0,
                             std::max(0, lines_.Count() - 1));
    return MAKELONG(nearest, 1);
}

int ListBox::ClientWidth() const {
    RECT client;
    GetClientRect(window_, &client);
    return client.right;
}

int ListBox::ClientHeight() const {
    RECT client;
    GetClientRect(window_, &client);
    return client.bottom;
}

int ListBox::LineHeight(int index) const {
    return Variable() && Valid(index) ? lines_.At(index).height : itemHeight_;
}

int ListBox::ColumnWidth() const {
    return columnWidth_ > 0 ? columnWidth_ : std::max(1, averageCharWidth_ * kDefaultColumnCharacters);
}

int ListBox::Rows() const { return std::max(1, ClientHeight() / itemHeight_); }

int ListBox::VisibleRows() const {
    if (!Variable()) return Rows();
    int rows = 0;
    for (int i = top_, y = 0, height = ClientHeight(); Valid(i) && (y += LineHeight(i)) <= height; ++i) ++rows;
    return std::max(1, rows);
}

int ListBox::VisibleColumns() const { return std::max(1, ClientWidth() / ColumnWidth()); }

int ListBox::MaxTop() const {
    const int count = lines_.Count();
    if (MultiColumn()) {
        int rows = Rows();
        int columns = (count + rows - 1) / rows;
        return std::max(0, columns - VisibleColumns()) * rows;
    }
    if (!Variable()) return std::max(0, count - VisibleRows());
    int first = count, used = 0;
    for (int height = ClientHeight(); first > 0 && used + LineHeight(first - 1) <= height; --first)
        used += LineHeight(first - 1);
    return std::max(0, std::min(first, count - 1));
}

RECT ListBox::LineRect(int index) const {
    if (MultiColumn()) {
        int rows = Rows(), width = ColumnWidth();
        int column = index / rows - top_ / rows;
        int row = index % rows;
        return {column * width, row * itemHeight_, (column + 1) * width, (row + 1) * itemHeight_};
    }
    int y = 0;
    if (!Variable()) {
        y = (index - top_) * itemHeight_;
    } else if (index >= top_) {
        for (int i = top_; i < index; ++i) y += LineHeight(i);
    } else {
        for (int i = index; i < top_; ++i) y -= LineHeight(i);
    }
    return {0, y, ClientWidth(), y + LineHeight(index)};
}

int ListBox::LineAt(POINT point) const {
    if (point.x < 0 || point.y < 0 || point.x >= ClientWidth() || point.y >= ClientHeight()) return -1;
    int index;
    if (MultiColumn()) {
        int row = point.y / itemHeight_;
        if (row >= Rows()) return -1;
        index = top_ + point.x / ColumnWidth() * Rows() + row;
    } else if (!Variable()) {
        index = top_ + point.y / itemHeight_;
    } else {
        index = top_;
        for (int y = LineHeight(index); Valid(index) && y <= point.y; y += LineHeight(index)) ++index;
    }
    return Valid(index) ? index : -1;
}

void ListBox::SetTop(int top) {
    top = std::clamp(top, 0, MaxTop());
    if (MultiColumn()) top -= top % Rows();
    if (top == top_) return;
    top_ = top;
    InvalidateRect(window_, nullptr, FALSE);
    UpdateScrollBars();
}

void ListBox::Refit() {
    SetTop(top_);
    UpdateScrollBars();
}

void ListBox::EnsureVisible(int index, bool partlyIsEnough) {
    if (!Valid(index)) return;
    if (MultiColumn()) {
        int rows = Rows(), column = index / rows, first = top_ / rows, shown = VisibleColumns();
        if (column < first) SetTop(column * rows);
        else if (column >= first + shown) SetTop((column - shown + 1) * rows);
        return;
    }
    if (index < top_) return SetTop(index);
    const int height = ClientHeight();
    if (partlyIsEnough && LineRect(index).top < height) return;
    // The lowest top that still shows the whole line, found from the line upwards.
    int top = index;
    for (int used = LineHeight(index); top > 0 && used + LineHeight(top - 1) <= height; --top)
        used += LineHeight(top - 1);
    if (top > top_) SetTop(top);
}

void ListBox::UpdateScrollBars() {
    if (!redraw_) {
        staleWhileHidden_ = true;
        return;
    }
    const int count = lines_.Count();
    const UINT mask = SIF_RANGE | SIF_PAGE | SIF_POS | ((style_ & LBS_DISABLENOSCROLL) ? SIF_DISABLENOSCROLL : 0);
    if (MultiColumn() && horizontalBar_) {
        int rows = Rows();
        SCROLLINFO info{sizeof info, mask, 0, std::max(0, (count + rows - 1) / rows - 1),
                        static_cast<UINT>(VisibleColumns()), top_ / rows, 0};
        SetScrollInfo(window_, SB_HORZ, &info, TRUE);
    } else if (!MultiColumn() && verticalBar_) {
        SCROLLINFO info{sizeof info, mask, 0, std::max(0, count - 1), static_cast<UINT>(VisibleRows()), top_, 0};
        SetScrollInfo(window_, SB_VERT, &info, TRUE);
    }
}

void ListBox::SnapHeight(WINDOWPOS& position) const {
    if ((style_ & LBS_NOINTEGRALHEIGHT) || Variable() || (position.flags & SWP_NOSIZE)) return;
    RECT outer, client;
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    int frame = (outer.bottom - outer.top) - client.bottom;
    int clientHeight = position.cy - frame;
    if (clientHeight > itemHeight_) position.cy -= clientHeight % itemHeight_;
}

TEXTMETRICA ListBox::FontMetrics() const {
    TEXTMETRICA metrics = controls::FontMetrics(Font());
    metrics.tmHeight = std::max<LONG>(1, metrics.tmHeight);
    metrics.tmAveCharWidth = std::max<LONG>(1, metrics.tmAveCharWidth);
    return metrics;
}

UINT ListBox::ControlType() const { return combo_ ? ODT_COMBOBOX : ODT_LISTBOX; }

UINT ListBox::ControlId() const { return static_cast<UINT>(GetDlgCtrlID(combo_ ? combo_ : window_)); }

HWND ListBox::ItemWindow() const { return combo_ ? combo_ : window_; }

HWND ListBox::Owner() const { return GetParent(combo_ ? combo_ : window_); }

}  // namespace platform::controls
