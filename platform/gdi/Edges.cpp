// 3-D edges, frame controls and the focus rectangle, in the classic look: one-pixel lines in the system colours.

#include "platform/gdi/Raster.h"

using namespace platform::gdi;

namespace {

struct EdgeColors {
    int topLeft;
    int bottomRight;
};

// The system colours of one ring of an edge. A raised ring is light above and to the left and dark below and to
// the right; a sunken one the reverse. BF_SOFT swaps the two top-left shades so a push button's outer ring is the
// brighter one.
EdgeColors RingColors(UINT bits, bool outer, UINT flags) {
    bool soft = flags & BF_SOFT;
    if (flags & BF_MONO)
        return outer ? EdgeColors{COLOR_WINDOWFRAME, COLOR_WINDOWFRAME} : EdgeColors{COLOR_WINDOW, COLOR_WINDOW};
    if (flags & BF_FLAT)
        return outer ? EdgeColors{COLOR_BTNSHADOW, COLOR_BTNSHADOW} : EdgeColors{COLOR_BTNFACE, COLOR_BTNFACE};
    bool raised = outer ? (bits & BDR_RAISEDOUTER) : (bits & BDR_RAISEDINNER);
    if (outer) {
        return raised ? EdgeColors{soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW}
                      : EdgeColors{soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    }
    return raised ? EdgeColors{soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW}
                  : EdgeColors{soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
}

uint32_t SysPixel(const DrawScope& scope, int index) { return scope.PixelOf(GetSysColor(index)); }

// One ring on the flagged sides of r (surface coordinates); the bottom and right lines go over the corners.
void Ring(DrawScope& scope, const RECT& r, UINT flags, EdgeColors colors) {
    if (RectEmpty(r)) return;
    uint32_t light = SysPixel(scope, colors.topLeft), dark = SysPixel(scope, colors.bottomRight);
    if (flags & BF_LEFT) FillSolid(scope, {r.left, r.top, r.left + 1, r.bottom}, light);
    if (flags & BF_TOP) FillSolid(scope, {r.left, r.top, r.right, r.top + 1}, light);
    if (flags & BF_RIGHT) FillSolid(scope, {r.right - 1, r.top, r.right, r.bottom}, dark);
    if (flags & BF_BOTTOM) FillSolid(scope, {r.left, r.bottom - 1, r.right, r.bottom}, dark);
}

RECT Inside(const RECT& r, UINT flags, int by) {
    return {r.left + ((flags & BF_LEFT) ? by : 0), r.top + ((flags & BF_TOP) ? by : 0),
            r.right - ((flags & BF_RIGHT) ? by : 0), r.bottom - ((flags & BF_BOTTOM) ? by : 0)};
}

// Draws a picture given as rows of letters, each letter a system colour ('.' leaves the pixel alone).
void Picture(DrawScope& scope, int left, int top, std::initializer_list<const char*> rows,
             std::initializer_list<std::pair<char, int>> colors) {
    int y = top;
    for (const char* row : rows) {
        for (int x = 0; row[x]; ++x) {
            for (const auto& [letter, index] : colors) {
                if (row[x] == letter) FillSolid(scope, {left + x, y, left + x + 1, y + 1}, SysPixel(scope, index));
            }
        }
        ++y;
    }
}

void CheckBox(DrawScope& scope, const RECT& area, UINT state) {
    int side = std::min(area.right - area.left, area.bottom - area.top);
    RECT box{area.left + (area.right - area.left - side) / 2, area.top + (area.bottom - area.top - side) / 2, 0, 0};
    box.right = box.left + side;
    box.bottom = box.top + side;
    Ring(scope, box, BF_RECT, RingColors(EDGE_SUNKEN, true, 0));
    RECT inner = Inside(box, BF_RECT, 1);
    Ring(scope, inner, BF_RECT, RingColors(EDGE_SUNKEN, false, 0));
    inner = Inside(inner, BF_RECT, 1);
    bool dim = state & (DFCS_INACTIVE | DFCS_PUSHED);
    FillSolid(scope, inner, SysPixel(scope, dim ? COLOR_BTNFACE : COLOR_WINDOW));
    if (!(state & DFCS_CHECKED)) return;
    int mark = (state & DFCS_INACTIVE)       ? COLOR_GRAYTEXT
               : (state & DFCS_BUTTON3STATE) ? COLOR_BTNSHADOW
                                             : COLOR_WINDOWTEXT;
    int left = inner.left + (inner.right - inner.left - 7) / 2, top = inner.top + (inner.bottom - inner.top - 7) / 2;
    Picture(scope, left, top, {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."},
            {{'#', mark}});
}

void RadioButton(DrawScope& scope, const RECT& area, UINT state) {
    int left = area.left + (area.right - area.left - 12) / 2, top = area.top + (area.bottom - area.top - 12) / 2;
    int inside = (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW;
    Picture(scope, left, top,
            {"....ssss....", "..ssddddss..", ".sddwwwwddh.", ".sdwwwwwwlh.", "sdwwwwwwwwlh", "sdwwwwwwwwlh",
             "sdwwwwwwwwlh", "sdwwwwwwwwlh", ".sdwwwwwwlh.", ".sllwwwwllh.", "..hhllllhh..", "....hhhh...."},
            {{'s', COLOR_BTNSHADOW},
             {'d', COLOR_3DDKSHADOW},
             {'w', inside},
             {'l', COLOR_3DLIGHT},
             {'h', COLOR_BTNHIGHLIGHT}});
    if (state & DFCS_CHECKED) {
        int dot = (state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
        Picture(scope, left + 4, top + 4, {".##.", "####", "####", ".##."}, {{'#', dot}});
    }
}

void ScrollArrow(DrawScope& scope, const RECT& area, UINT state) {
    int kind = state & 0xFF;
    int rows = std::max(2, std::min(area.right - area.left, area.bottom - area.top) / 4);
    bool vertical = kind == DFCS_SCROLLUP || kind == DFCS_SCROLLDOWN || kind == DFCS_SCROLLCOMBOBOX;
    int along = rows, across = 2 * rows - 1;  // the arrow's length and its base
    int w = vertical ? across : along, h = vertical ? along : across;
    int shift = (state & DFCS_PUSHED) ? 1 : 0;
    int left = area.left + (area.right - area.left - w) / 2 + shift;
    int top = area.top + (area.bottom - area.top - h) / 2 + shift;
    auto draw = [&](int dx, int dy, uint32_t pixel) {
        for (int i = 0; i < rows; ++i) {
            // Line i of the arrow, from its tip (i = 0) to its base.
            int tipFirst = (kind == DFCS_SCROLLUP || kind == DFCS_SCROLLLEFT) ? i : rows - 1 - i;
            RECT line = vertical ? RECT{left + rows - 1 - i, top + tipFirst, left + rows + i, top + tipFirst + 1}
                                 : RECT{left + tipFirst, top + rows - 1 - i, left + tipFirst + 1, top + rows + i};
            FillSolid(scope, {line.left + dx, line.top + dy, line.right + dx, line.bottom + dy}, pixel);
        }
    };
    if (state & DFCS_INACTIVE) {
        draw(1, 1, SysPixel(scope, COLOR_BTNHIGHLIGHT));
        draw(0, 0, SysPixel(scope, COLOR_BTNSHADOW));
    } else {
        draw(0, 0, SysPixel(scope, COLOR_BTNTEXT));
    }
}

}  // namespace

BOOL WINAPI DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags) {
    if (!qrc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hdc);
    if (!scope) return FALSE;
    if (grfFlags & BF_DIAGONAL) return TRUE;  // FIXME: diagonal edges are not drawn; nothing here asks for them.
    RECT r = scope.ToSurface(*qrc);
    int rings = 0;
    if (edge & BDR_OUTER) {
        Ring(scope, r, grfFlags, RingColors(edge, true, grfFlags));
        r = Inside(r, grfFlags, 1);
        ++rings;
    }
    if (edge & BDR_INNER) {
        Ring(scope, r, grfFlags, RingColors(edge, false, grfFlags));
        r = Inside(r, grfFlags, 1);
        ++rings;
    }
    if (grfFlags & BF_MIDDLE) {
        FillSolid(scope, r, SysPixel(scope, (grfFlags & BF_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    if (grfFlags & BF_ADJUST) *qrc = Inside(*qrc, grfFlags, rings);
    return TRUE;
}

BOOL WINAPI DrawFrameControl(HDC hdc, LPRECT lprc, UINT uType, UINT uState) {
    if (!lprc || (uType != DFC_BUTTON && uType != DFC_SCROLL)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (uType == DFC_SCROLL || (uState & DFCS_BUTTONPUSH)) {
        bool pushed = uState & (DFCS_PUSHED | DFCS_CHECKED);
        UINT flags = BF_RECT | BF_SOFT | ((uState & DFCS_TRANSPARENT) ? 0 : BF_MIDDLE);
        if (uState & DFCS_FLAT) flags |= BF_FLAT;
        if (uState & DFCS_MONO) flags |= BF_MONO;
        // A pressed scroll arrow shows a flat frame in the shadow colour.
        if (uType == DFC_SCROLL && pushed) flags |= BF_FLAT;
        RECT r = *lprc;
        if (!DrawEdge(hdc, &r, pushed ? EDGE_SUNKEN : EDGE_RAISED, flags)) return FALSE;
        if (uType == DFC_SCROLL) {
            DrawScope scope(hdc);
            if (!scope) return FALSE;
            ScrollArrow(scope, scope.ToSurface(*lprc), uState);
        }
        if (uState & DFCS_ADJUSTRECT) *lprc = Inside(*lprc, BF_RECT, 2);
        return TRUE;
    }
    DrawScope scope(hdc);
    if (!scope) return FALSE;
    RECT area = scope.ToSurface(*lprc);
    if (uState & DFCS_BUTTONRADIO)
        RadioButton(scope, area, uState);
    else
        CheckBox(scope, area, uState);
    return TRUE;
}

BOOL WINAPI DrawFocusRect(HDC hDC, const RECT* lprc) {
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DrawScope scope(hDC);
    if (!scope) return FALSE;
    RECT r = scope.ToSurface(*lprc);
    if (RectEmpty(r)) return TRUE;
    POINT origin = scope.Dc().origin;
    Surface& pixels = scope.Pixels();
    // Every pixel of the outline once, so a second call restores it; the dots follow the device's checkerboard.
    auto invert = [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            if (((x - origin.x) + (y - origin.y)) % 2 == 0) pixels.Row(y)[x] ^= 0xFFFFFF;
    };
    scope.ForSpans({r.left, r.top, r.right, r.top + 1}, invert);
    if (r.bottom - 1 > r.top) scope.ForSpans({r.left, r.bottom - 1, r.right, r.bottom}, invert);
    scope.ForSpans({r.left, r.top + 1, r.left + 1, r.bottom - 1}, invert);
    if (r.right - 1 > r.left) scope.ForSpans({r.right - 1, r.top + 1, r.right, r.bottom - 1}, invert);
    scope.Mark(r);
    return TRUE;
}
