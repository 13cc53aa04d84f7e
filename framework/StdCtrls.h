#pragma once
// Labels, edit boxes, push buttons and group boxes. Edit boxes and buttons are the platform's own EDIT and BUTTON
// windows; a button also takes part in dialog keys (Enter clicks the active button, Escape the Cancel button).

#include <cstdint>

#include "framework/CustomControl.h"
#include "framework/ExtCtrls.h"
#include "framework/GraphicControl.h"

class TLabel : public TGraphicControl {
  public:
    explicit TLabel(TComponent* owner);

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

    bool ReadAsPart() const override { return true; }
    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void Paint() override;
    void Loaded() override;

  private:
    UINT TextFormat() const;
    // Fits the control to its text, keeping the edge its alignment holds still.
    void AdjustBounds();

    bool autoSize_ = true;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool transparent_ = false;
    bool wordWrap_ = false;
};

class TEdit : public TWinControl {
  public:
    explicit TEdit(TComponent* owner);

    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool AutoSelect() const { return autoSelect_; }
    void SetAutoSelect(bool value) { autoSelect_ = value; }
    void SelectAll();

    TNotifyEvent OnChange;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DoEnter() override;

  private:
    int maxLength_ = 0;
    bool readOnly_ = false;
    bool autoSelect_ = true;
};

class TButton : public TWinControl {
  public:
    explicit TButton(TComponent* owner);

    // Copied into the form when the button is clicked: a value other than 0 ends a modal run.
    int32_t ModalResult() const { return modalResult_; }
    void SetModalResult(int32_t value) { modalResult_ = value; }
    // Enter clicks the default button while no other button has the focus.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    // Escape clicks the cancel button.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    // Whether Enter would click this button now.
    bool Active() const { return active_; }

    // Clicks the button as the user would.
    void Click() override;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void CreateParams(TCreateParams& params) override;

  private:
    void SetActive(bool value);

    int32_t modalResult_ = 0;
    bool default_ = false;
    bool cancel_ = false;
    bool active_ = false;
};

// A frame with a caption along its top edge, around the controls it holds.
class TCustomGroupBox : public TCustomControl {
  public:
    explicit TCustomGroupBox(TComponent* owner);

  protected:
    void Paint() override;
    void WndProc(TMessage& message) override;
};

class TGroupBox : public TCustomGroupBox {
  public:
    using TCustomGroupBox::TCustomGroupBox;
};

// Makes the framework's control classes known to the layout reader.
void RegisterFrameworkComponents();
