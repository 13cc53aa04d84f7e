#pragma once
// Check boxes and radio buttons: thin layers over the platform's BUTTON window, whose clicks they hear as
// BN_CLICKED and whose check they drive themselves.
//
// A press of the left button on one that does not have the focus first gives it the focus with clicks suppressed:
// the platform reports a click when a radio button is focused, and that report must not count as the user's choice.
// A press after which the control still lacks the focus (an exit handler kept it elsewhere) is dropped.

#include <string_view>

#include "framework/WinControl.h"

class TButtonControl : public TWinControl {
  public:
    explicit TButtonControl(TComponent* owner);

    void WndProc(TMessage& message) override;

  protected:
    // The window is of the platform's BUTTON class, copied under this control's class name without the
    // redraw-on-resize bits.
    void CreateParams(TCreateParams& params) override;
    // A report of the platform's button (BN_CLICKED, BN_DOUBLECLICKED) that arrived while clicks were not
    // suppressed.
    virtual void ButtonNotified(WORD notifyCode) { (void)notifyCode; }
    bool ClicksDisabled() const { return clicksDisabled_; }
    // The framework's changed notification (CM_CHANGED), sent before a change of the check is reported.
    void Changed();

  private:
    bool clicksDisabled_ = false;
};

// A radio button. It keeps its own checked flag and is a tab stop only while checked; checking it unchecks every
// other radio button with the same parent.
class TRadioButton : public TButtonControl {
  public:
    explicit TRadioButton(TComponent* owner);

    bool Checked() const { return checked_; }
    // Checking raises OnClick unless clicks are suppressed; unchecking raises nothing.
    void SetChecked(bool value);

    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ButtonNotified(WORD notifyCode) override;

  private:
    bool checked_ = false;
};

// Whether `key` is the accelerator of `caption`: the character after a single "&", ignoring letter case.
bool IsAccelerator(char key, std::string_view caption);
