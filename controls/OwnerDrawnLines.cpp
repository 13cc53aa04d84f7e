#include "controls/OwnerDrawnLines.h"

#include <string>

void DrawOwnerDrawnLine(TCanvas& canvas, TWinControl& control, const DRAWITEMSTRUCT& item, const TDrawLine& draw) {
    TOwnerDrawState state = item.itemState;
    auto index = static_cast<int32_t>(item.itemID);
    TCanvasLoan loan(canvas, item.hDC);
    canvas.Font().Assign(control.Font());
    canvas.Brush().Assign(control.Brush());
    if (index >= 0 && (state & ODS_SELECTED)) {
        canvas.Brush().SetColor(clHighlight);
        canvas.Font().SetColor(clHighlightText);
    }
    if (index >= 0) draw(index, item.rcItem, state);
    else canvas.FillRect(item.rcItem);
    if (state & ODS_FOCUS) canvas.DrawFocusRect(item.rcItem);
}

void DrawLineText(TCanvas& canvas, const RECT& rect, std::string_view text) {
    canvas.FillRect(rect);
    RECT inside = rect;
    inside.left += 2;
    canvas.DrawText(text, inside, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}
