#pragma once
// The check box: a three-state BUTTON window whose check the control drives itself. Its State is the only truth;
// a new window is given it when made.

#include <cstdint>

#include "controls/ButtonControl.h"

enum class TCheckBoxState : uint8_t { cbUnchecked, cbChecked, cbGrayed };
// Which side of the box the caption stands on.
enum class TLeftRight : uint8_t { taLeftJustify, taRightJustify };

class TCustomCheckBox : public TButtonControl {
  public:
    explicit TCustomCheckBox(TComponent* owner);

    TCheckBoxState State() const { return state_; }
    // A new state goes to the window and raises OnClick unless clicks are suppressed.
    void SetState(TCheckBoxState value);
    // A grayed box is not checked.
    bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
    void SetChecked(bool value) { SetState(value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    // Whether a click can reach cbGrayed.
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }
    // taRightJustify puts the caption right of the box; a change makes the window again.
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight value);

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    // The user's click: unchecked goes to grayed (when allowed) or checked, checked to unchecked, grayed to
    // checked.
    virtual void Toggle();
    void Click() override;
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void ButtonNotified(WORD notifyCode) override;

  private:
    TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
    bool allowGrayed_ = false;
    TLeftRight alignment_ = TLeftRight::taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  public:
    using TCustomCheckBox::TCustomCheckBox;
};
