#pragma once
// Windowed controls that draw themselves: their canvas holds the window's device context while they paint.

#include "framework/WinControl.h"
#include "runtime/Canvas.h"

class TCustomControl : public TWinControl {
  public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    TCanvas& Canvas() { return canvas_; }

  protected:
    virtual void Paint() {}
    void PaintWindow(HDC dc) override;

  private:
    TCanvas canvas_;
};
