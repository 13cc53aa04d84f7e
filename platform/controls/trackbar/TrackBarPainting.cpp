// How a track bar looks in the classic style: a sunken channel, a raised thumb (pointed toward its ticks, or
// square with ticks on both sides), the ticks, the selection in the highlight colour, the focus frame.

#include <cstdint>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/controls/trackbar/TrackBar.h"

namespace platform::controls {

namespace {

// The selection is drawn within the range, whatever a program set it to.
LONG Within(LONG position, LONG minimum, LONG maximum) {
    if (position < minimum) position = minimum;
    return position > maximum ? maximum : position;
}

// Draws a closed outline, each side light where it faces up or left and dark where it faces down or right; a
// diagonal facing both ways counts by the bar's direction.
void Outline(HDC dc, const std::vector<POINT>& corners, int light, int dark, bool vertical) {
    LONG sumX = 0, sumY = 0;
    for (POINT corner : corners) {
        sumX += corner.x;
        sumY += corner.y;
    }
    auto count = static_cast<LONG>(corners.size());
    HPEN lightPen = CreatePen(PS_SOLID, 1, GetSysColor(light));
    HPEN darkPen = CreatePen(PS_SOLID, 1, GetSysColor(dark));
    HGDIOBJ oldPen = SelectObject(dc, lightPen);
    for (size_t i = 0; i < corners.size(); ++i) {
        POINT from = corners[i], to = corners[(i + 1) % corners.size()];
        LONG normalX = to.y - from.y, normalY = from.x - to.x;
        // Outward is away from the middle of the shape.
        LONG awayX = (from.x + to.x) * count - 2 * sumX, awayY = (from.y + to.y) * count - 2 * sumY;
        if (int64_t{normalX} * awayX + int64_t{normalY} * awayY < 0) {
            normalX = -normalX;
            normalY = -normalY;
        }
        LONG facing = normalX + normalY;
        bool lit = facing < 0 || (facing == 0 && (vertical ? normalY < 0 : normalX < 0));
        SelectObject(dc, lit ? lightPen : darkPen);
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
    }
    SelectObject(dc, oldPen);
    DeleteObject(lightPen);
    DeleteObject(darkPen);
}

}  // namespace

void TrackBar::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    if (!dc) return;
    RECT client;
    GetClientRect(window_, &client);
    FillRect(dc, &client, ControlColors(window_, dc, WM_CTLCOLORSTATIC));
    TrackBarLayout layout = Layout();
    DWORD style = Style();
    RECT channel = layout.Channel();
    DrawEdge(dc, &channel, EDGE_SUNKEN, BF_RECT);
    if ((style & TBS_ENABLESELRANGE) && selectionEnd_ > selectionStart_) {
        RECT selection = layout.ChannelBetween(Within(selectionStart_, minimum_, maximum_),
                                               Within(selectionEnd_, minimum_, maximum_));
        FillRect(dc, &selection, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    if (!(style & TBS_NOTICKS)) PaintTicks(dc, layout);
    if (!(style & TBS_NOTHUMB)) PaintThumb(dc, layout);
    if (focused_) DrawFocusRect(dc, &client);
    EndPaint(window_, &paint);
}

void TrackBar::PaintTicks(HDC dc, const TrackBarLayout& layout) {
    HBRUSH ink = GetSysColorBrush(COLOR_BTNTEXT);
    auto tick = [&](LONG position) {
        for (RECT r : layout.Ticks(position)) FillRect(dc, &r, ink);
    };
    tick(minimum_);
    tick(maximum_);
    if ((Style() & TBS_AUTOTICKS) && frequency_ > 0) {
        if (layout.TicksCloserThanPixels(frequency_)) {
            // Ticks closer than a pixel make one solid row.
            std::vector<RECT> first = layout.Ticks(minimum_), last = layout.Ticks(maximum_);
            for (size_t i = 0; i < first.size(); ++i) {
                RECT row;
                UnionRect(&row, &first[i], &last[i]);
                FillRect(dc, &row, ink);
            }
        } else {
            for (int64_t position = int64_t{minimum_} + frequency_; position < maximum_; position += frequency_)
                tick(static_cast<LONG>(position));
        }
    }
    for (LONG position : ticks_) tick(position);
}

void TrackBar::PaintThumb(HDC dc, const TrackBarLayout& layout) {
    HBRUSH face =
        mode_ == Mode::Dragging || !IsWindowEnabled(window_) ? user::DitherBrush() : GetSysColorBrush(COLOR_BTNFACE);
    if (layout.Pointing() == TrackBarLayout::Point::Nowhere) {
        RECT thumb = layout.Thumb(position_);
        FillRect(dc, &thumb, face);
        DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_SOFT);
        return;
    }
    std::vector<POINT> outer = layout.ThumbOutline(position_, 0);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, face);
    Polygon(dc, outer.data(), static_cast<int>(outer.size()));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    Outline(dc, outer, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, layout.Vertical());
    Outline(dc, layout.ThumbOutline(position_, 1), COLOR_3DLIGHT, COLOR_BTNSHADOW, layout.Vertical());
}

}  // namespace platform::controls
