#include "framework/CustomControl.h"

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) { customPaint_ = true; }

TCustomControl::~TCustomControl() { MarkDestroying(); }

void TCustomControl::PaintWindow(HDC dc) {
    TCanvasLoan loan(canvas_, dc);
    Paint();
}
