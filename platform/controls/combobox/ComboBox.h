#pragma once
// The COMBOBOX window class: a field showing the chosen line, a button, and a drop-down list (a "ComboLBox" list box)
// in a popup window of its own, which never takes the activation or the keyboard from the combo box's window.
//
// Choices where Windows leaves room, kept on purpose:
// - While the list is open, the mouse and the arrow keys only move its highlight. The choice is made by a click on a
//   line or by Enter (or F4, Alt+Up, Alt+Down) and reported then: CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP. A click
//   reports CBN_SELCHANGE even for the line already chosen; Enter only when the highlight moved. Escape, a click
//   outside the list, losing the focus and CB_SHOWDROPDOWN FALSE put the highlight back and report
//   CBN_SELENDCANCEL, CBN_CLOSEUP. The list is hidden before these notifications, so that a message box shown by a
//   handler gets the mouse.
// - On the closed field the arrow keys, Home, End, Page Up, Page Down and a typed first letter choose a line at
//   once: CBN_SELCHANGE, then CBN_SELENDOK. The wheel over a closed field chooses nothing (it goes to the parent).
// - CBS_DROPDOWN and CBS_SIMPLE have no edit field: their text is WM_SETTEXT's or the last line chosen, and their
//   list drops down like CBS_DROPDOWNLIST's.
// - The list shows at most kDropDownLines lines, whatever height the combo box was created with; the combo box
//   keeps the height of its field.

#include <string>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/listbox/ListBox.h"

namespace platform::controls {

class ComboBox final : public ControlWindow<ComboBox>, public DropDownOwner {
  public:
    static constexpr int kDropDownLines = 8;

    ComboBox(HWND window, const CREATESTRUCTA& create);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    bool Create(const CREATESTRUCTA& create);

    // The messages by concern; `handled` is false for a message not theirs. The lines and the field are in
    // ComboBox.cpp, the choice and the user's input in ComboBoxChoice.cpp.
    LRESULT HandleLines(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleField(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleChoice(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleInput(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // The list calls these from its own handlers; the parent may destroy the combo box in the reports they send.
    void ListChosen() override {
        HandlerScope handler(*this);
        CloseUp(true, true);
    }
    void ListDismissed() override {
        HandlerScope handler(*this);
        CloseUp(false, false);
    }

    bool DropDownList() const { return (style_ & CBS_DROPDOWNLIST) == CBS_DROPDOWNLIST; }
    bool OwnerDrawn() const { return style_ & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE); }
    bool HasStrings() const { return !OwnerDrawn() || (style_ & CBS_HASSTRINGS); }
    LRESULT ToList(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    int Selection() const;
    std::string LineText(int index) const;
    HFONT Font() const { return ControlFont(font_); }
    int FontFieldHeight() const;
    int FullHeight() const;
    void FitHeight();
    RECT DroppedRect() const;

    void DropDown();
    void CloseUp(bool choose, bool byClick);
    void ChooseOnField(int index);
    void KeyDown(WPARAM key);
    void Char(unsigned char byte);
    int KeyTarget(WPARAM key, int count) const;
    LRESULT SetCurSel(WPARAM index);
    LRESULT SetItemHeight(WPARAM index, LPARAM height);
    void SetFont(HFONT font, bool redraw);
    LRESULT SetText(const char* text);
    LRESULT GetText(size_t size, char* buffer) const;
    void Paint();
    bool Notify(int code);

    HWND window_;
    HWND frame_ = nullptr;  // the popup that holds the list
    HWND list_ = nullptr;
    DWORD style_ = 0;
    HFONT font_ = nullptr;
    int fieldHeight_ = 0;   // CB_GETITEMHEIGHT(-1): the field's line, without its edges
    int droppedWidth_ = 0;  // 0: as wide as the combo box
    bool dropped_ = false;
    bool focused_ = false;
    bool extendedUI_ = false;
    int chosenBeforeDrop_ = -1;
    std::string text_;  // CBS_DROPDOWN and CBS_SIMPLE
    TypedCharacter typed_;
};

}  // namespace platform::controls
