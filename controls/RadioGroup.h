#pragma once
// The radio group: a framed group box that makes, lays out and manages one radio button per line of its Items.
// ItemIndex is the checked button (-1 for none); it is clamped into the lines, and it changes either by code or by
// the user's click, both of which raise the group's OnClick once. While a layout is read into the group it only
// stores ItemIndex and Items, and builds its buttons once when loading ends.

#include <cstdint>
#include <memory>
#include <vector>

#include "controls/ButtonControl.h"
#include "framework/StdCtrls.h"
#include "runtime/Strings.h"

class TCustomRadioGroup;

// One button of a radio group: hidden until the group places it, its clicks go to the group.
class TGroupButton : public TRadioButton {
  public:
    explicit TGroupButton(TCustomRadioGroup& group);

    void WndProc(TMessage& message) override;

  protected:
    void Click() override;
    void ButtonNotified(WORD notifyCode) override;
    bool DoKeyDown(TMessage& message) override;
    bool DoKeyPress(TMessage& message) override;

  private:
    friend class TCustomRadioGroup;
    TCustomRadioGroup& group_;
    bool inClick_ = false;
    int handling_ = 0;  // messages of this button's window under way
    bool retired_ = false;
};

class TCustomRadioGroup : public TCustomGroupBox {
  public:
    explicit TCustomRadioGroup(TComponent* owner);
    ~TCustomRadioGroup() override;

    int32_t ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int32_t value);
    // One line per button; any change to the lines rebuilds the buttons.
    TStrings& Items();
    void SetItems(const TStrings& source);
    int Columns() const { return columns_; }
    // Clamped into 1 … 16.
    void SetColumns(int value);

    int ButtonCount() const { return static_cast<int>(buttons_.size()); }
    TRadioButton* Buttons(int index) const { return buttons_.at(static_cast<size_t>(index)).get(); }

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    // Whether the user may change the choice now.
    virtual bool CanModify() { return true; }
    void Loaded() override;
    void Resize() override;

  private:
    friend class TGroupButton;
    class TItems;

    void ButtonClick(TGroupButton& button);
    void ItemsChanged();
    void UpdateButtons();
    void SetButtonCount(int count);
    void ArrangeButtons();
    void FreeRetiredButtons();

    std::unique_ptr<TItems> items_;
    std::vector<std::unique_ptr<TGroupButton>> buttons_;
    // Buttons taken off the group while their own window's message was still being handled; freed afterwards.
    std::vector<std::unique_ptr<TGroupButton>> retired_;
    int32_t itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;  // the group itself checks a button: its click is not the user's choice
};

class TRadioGroup : public TCustomRadioGroup {
  public:
    using TCustomRadioGroup::TCustomRadioGroup;
};
