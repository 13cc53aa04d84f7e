#pragma once
// The small window that shows a control's hint under the mouse: a bordered pop-up in the hint colour that never
// takes the focus.

#include <string>

#include "framework/CustomControl.h"

class THintWindow : public TCustomControl {
  public:
    explicit THintWindow(TComponent* owner);

    // Shows `text` with the window's top-left corner at `where` (screen coordinates), sized to the text.
    void ActivateHint(POINT where, const std::string& text);
    void ReleaseHint();

  protected:
    void CreateParams(TCreateParams& params) override;
    void Paint() override;
};
