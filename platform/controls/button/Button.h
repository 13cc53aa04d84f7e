#pragma once
// The BUTTON window class: push and default push buttons, check boxes (two- and three-state), radio buttons and
// group boxes, with their check state, pushed look, focus, clicks by mouse, Space and BM_CLICK, and BN_CLICKED to
// the parent.

#include <string>

#include "platform/controls/ControlWindow.h"

namespace platform::controls {

class Button : public ControlWindow<Button> {
  public:
    Button(HWND window, const CREATESTRUCTA& create);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT HandleState(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleMouse(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleKeysAndFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    // BS_NOTIFY: the parent hears of focus and double clicks too.
    bool Notifies() const;
    UINT Type() const;
    bool IsPush() const;
    bool IsRadio() const;
    bool IsCheckable() const;
    UINT MaximumCheck() const;

    void SetCheck(UINT check);
    void SetPushed(bool pushed);
    void Redraw();
    void Press();
    void Release(bool click);
    void Click();
    void CheckAutoRadioGroup();
    LRESULT DialogCode() const;

    void Paint();
    void PaintPush(HDC dc, RECT client);
    void PaintCheck(HDC dc, RECT client);
    void PaintGroup(HDC dc, RECT client);

    HWND window_;
    HFONT font_ = nullptr;
    UINT check_ = BST_UNCHECKED;
    bool pushed_ = false;      // the pushed look, BST_PUSHED
    bool focused_ = false;
    bool mouseDown_ = false;   // the left button went down on us and we hold the capture
    bool spaceDown_ = false;
    bool pressing_ = false;    // the focus comes from our own press
};

}  // namespace platform::controls
