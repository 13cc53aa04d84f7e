#pragma once
// The combo box: a thin layer over the platform's COMBOBOX window, of the one kind the program uses, an owner-drawn
// drop-down list of fixed line height that cannot be typed into. As with the list box, while the window exists its
// lines, data values and selection are the only state; across a re-creation of the window they are kept in a saved
// list and given to the new window.
//
// Events: OnDropDown when the list is about to drop down; when the user chooses a line, the text becomes that
// line's, then OnClick, then OnChange. Setting ItemIndex or changing Items raises none.

#include <cstdint>
#include <memory>

#include "controls/OwnerDrawnLines.h"
#include "framework/WinControl.h"
#include "runtime/Canvas.h"
#include "runtime/Strings.h"

class TCustomComboBox;

// A combo box's Items: every operation is a message to the combo box's window, which it makes first when needed.
class TComboBoxStrings : public TStrings {
  public:
    explicit TComboBoxStrings(TCustomComboBox& comboBox) : comboBox_(comboBox) {}

    std::string LineText(int32_t index) const override;
    int32_t LineCount() const override;
    TLineData LineData(int32_t index) const override;
    void SetLineData(int32_t index, TLineData data) override;
    void UpdateStateChanged(bool updating) override;
    int32_t AppendLine(std::string_view text) override;
    // Also empties the text and leaves no line selected.
    void RemoveAll() override;
    void RemoveLine(int32_t index) override;
    int32_t FindLine(std::string_view text) const override;
    void InsertLine(int32_t index, std::string_view text) override;

  private:
    HWND Window() const;
    void CheckIndex(int32_t index) const;

    TCustomComboBox& comboBox_;
};

class TCustomComboBox : public TWinControl {
  public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TStrings& Items() { return *items_; }

    // -1 when no line is selected. Setting it sends a message only for a new value, and raises no event.
    int32_t ItemIndex();
    void SetItemIndex(int32_t value);
    // The height of every line, and of the field; a new positive value re-creates the window.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int value);
    bool DroppedDown();

    // The canvas lines are drawn on.
    TCanvas& Canvas() { return canvas_; }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

    void WndProc(TMessage& message) override;
    bool ReadProperty(std::string_view name, const TLayoutValue& value, TLayoutContext& context) override;

  protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void DestroyWnd() override;

    // Draws one line; the canvas holds the line's DC with the font and the brush (highlight colours for a selected
    // line) already set, and the focus rectangle follows. By default the line's text.
    virtual void DrawItem(int32_t index, const RECT& rect, TOwnerDrawState state);
    // Raises OnChange: after the user's choice, and whenever a derived control reports a change of its own.
    virtual void Change();
    virtual void DropDown();

  private:
    void CommandNotification(WORD code);

    std::unique_ptr<TComboBoxStrings> items_;
    TCanvas canvas_;
    int itemHeight_ = 16;
    // What the window held while it is being made again.
    std::unique_ptr<TStringList> savedItems_;
    int32_t savedItemIndex_ = -1;
};
