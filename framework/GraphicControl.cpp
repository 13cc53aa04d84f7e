#include "framework/GraphicControl.h"

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() { MarkDestroying(); }

void TGraphicControl::WndProc(TMessage& message) {
    if (message.Msg == WM_PAINT && message.WParam) {
        // The parent set the device context's origin and clip to this control before sending it here.
        TCanvasLoan loan(canvas_, reinterpret_cast<HDC>(message.WParam));
        Paint();
        return;
    }
    TControl::WndProc(message);
}
