#pragma once
// Controls without a window of their own, drawn on their parent's surface with a canvas that borrows the
// parent's device context while they paint.

#include "framework/Control.h"
#include "runtime/Canvas.h"

class TGraphicControl : public TControl {
  public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;

    TCanvas& Canvas() { return canvas_; }
    void WndProc(TMessage& message) override;

  protected:
    virtual void Paint() {}

  private:
    TCanvas canvas_;
};
