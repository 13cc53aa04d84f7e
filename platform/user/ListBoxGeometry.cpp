// Where the list box's lines are, which of them show, and the scroll bars that move them.

#include <algorithm>

#include "platform/user/Controls.h"
#include "platform/user/ListBox.h"

namespace platform::user {
namespace {

constexpr int kDefaultColumnCharacters = 16;

}  // namespace

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

HFONT ListBox::Font() const { return font_ ? font_ : DefaultControlFont(); }

TEXTMETRICA ListBox::FontMetrics() const {
    TEXTMETRICA metrics{};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font());
    GetTextMetricsA(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    metrics.tmHeight = std::max<LONG>(1, metrics.tmHeight);
    metrics.tmAveCharWidth = std::max<LONG>(1, metrics.tmAveCharWidth);
    return metrics;
}

UINT ListBox::ControlType() const { return combo_ ? ODT_COMBOBOX : ODT_LISTBOX; }

UINT ListBox::ControlId() const { return static_cast<UINT>(GetDlgCtrlID(combo_ ? combo_ : window_)); }

HWND ListBox::ItemWindow() const { return combo_ ? combo_ : window_; }

HWND ListBox::Owner() const { return GetParent(combo_ ? combo_ : window_); }

}  // namespace platform::user
