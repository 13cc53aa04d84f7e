#pragma once
// The LISTBOX window class, and "ComboLBox": the same list as the drop-down part of a combo box.
//
// Choices where Windows leaves room, kept on purpose:
// - Only the user's mouse and keys send LBN_SELCHANGE, and only when the selection really changed: a press on the
//   line that is already selected reports nothing. The notification comes when the button is released (one per
//   press, however far the mouse dragged), and at once for a key. LBN_DBLCLK comes for a double click on a line,
//   not for one below the last line. A drag beyond the list's edge scrolls a line for each move of the mouse.
// - LB_SETCURSEL with an index past the last line clears the selection and returns LB_ERR, like -1 does.
// - LB_GETITEMRECT answers for line 0 of an empty list too (the rectangle the first line will have), so that a
//   caller can learn the line height before adding lines.
// - LB_GETTEXT copies the whole text, as Windows does; a caller sizes its buffer with LB_GETTEXTLEN. The program's
//   lines are file names, which Linux limits to 255 bytes.
// - A sorted list orders its lines as CompareStringA does: ignoring case first, then lower case before upper case
//   between texts that differ only in case. A new line goes after the lines equal to it.
// - Owner-drawn lists without LBS_HASSTRINGS are neither sorted (WM_COMPAREITEM is not sent) nor told of deleted
//   lines (WM_DELETEITEM is not sent), and LBS_WANTKEYBOARDINPUT sends WM_VKEYTOITEM but not WM_CHARTOITEM: the
//   program always asks for strings.

#include <string>
#include <string_view>
#include <vector>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/listbox/ListBoxLines.h"

namespace platform::controls {

// What the drop-down list of a combo box tells the combo box: the user chose a line, or left the list without one.
class DropDownOwner {
  public:
    virtual void ListChosen() = 0;
    virtual void ListDismissed() = 0;

  protected:
    ~DropDownOwner() = default;
};

// The creation parameter of a "ComboLBox" window.
struct DropDownParams {
    HWND combo;
    DropDownOwner* owner;
};

// WM_CHAR brings typed text a byte at a time; this gathers the bytes of one character.
class TypedCharacter {
  public:
    // Returns true when the byte completes a character, which Text() then holds.
    bool Add(unsigned char byte);
    const std::string& Text() const { return text_; }

  private:
    std::string text_;
    size_t missing_ = 0;
};

// The first line after `after`, wrapping around, whose text starts with the character, ignoring case; -1 if none.
int FindLineStartingWith(HWND listBox, int after, std::string_view character);

class ListBox : public ControlWindow<ListBox> {
  public:
    enum class Kind { List, DropDown };  // DropDown: the "ComboLBox" in a combo box's popup
    static constexpr int kMaxItemHeight = 255;  // the height travels in one byte, as on Windows

    ListBox(HWND window, const CREATESTRUCTA& create, Kind kind = Kind::List);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    friend int FindLineStartingWith(HWND listBox, int after, std::string_view character);

    struct Colours {
        HBRUSH brush;
        COLORREF text;
        COLORREF back;
    };

    void Create(const CREATESTRUCTA& create);

    // The messages by concern, each group in the file of its members; `handled` is false for a message not theirs.
    LRESULT HandleLines(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleSelection(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleLayout(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleInput(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

    // Style.
    bool OwnerDrawn() const { return style_ & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE); }
    bool HasStrings() const { return !OwnerDrawn() || (style_ & LBS_HASSTRINGS); }
    bool MultiColumn() const { return style_ & LBS_MULTICOLUMN; }
    bool Variable() const { return (style_ & LBS_OWNERDRAWVARIABLE) && !MultiColumn(); }
    bool MultiSelect() const { return style_ & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL); }
    bool Extended() const { return style_ & LBS_EXTENDEDSEL; }

    // Lines (ListBox.cpp).
    LRESULT AddLine(LPARAM lParam);
    LRESULT InsertLine(int index, LPARAM lParam);
    LRESULT DeleteLine(int index);
    void ResetContent();
    LRESULT GetText(int index, char* buffer) const;
    LRESULT Find(int start, LPARAM lParam, bool exact) const;
    bool Valid(int index) const { return index >= 0 && index < lines_.Count(); }
    int Measure(int index, ULONG_PTR data);
    void LinesChanged(int from);

    // Selection and caret (ListBoxSelection.cpp).
    bool Selected(int index) const;
    int Caret() const;
    int KeyboardOrigin() const;
    void SetSelection(int index);
    bool SetLineSelected(int index, bool selected);
    void ChoiceChangedWithin();
    LRESULT SelectedCount();
    LRESULT SelectedLines(int room, int* out);  // LB_GETSELITEMS: the first `room` selected lines
    bool SelectRange(int from, int to, bool keepOthers);
    void SetCaret(int index);
    LRESULT SetCurSel(int index);
    LRESULT SetSel(bool select, int index);

    // Geometry and scrolling (ListBoxGeometry.cpp).
    int ClientWidth() const;
    int ClientHeight() const;
    int LineHeight(int index) const;
    int ColumnWidth() const;
    int Rows() const;
    int VisibleRows() const;
    int VisibleColumns() const;
    int MaxTop() const;
    RECT LineRect(int index) const;
    int LineAt(POINT point) const;
    void SetTop(int top);
    void Refit();  // after a change of the lines' size or the client's: the top line and the scroll bars
    LRESULT SetItemHeight(int index, int height);
    void SetFont(HFONT font, bool redraw);
    LRESULT ItemFromPoint(POINT point) const;
    void EnsureVisible(int index, bool partlyIsEnough = false);
    void UpdateScrollBars();
    void SnapHeight(WINDOWPOS& position) const;
    HFONT Font() const { return ControlFont(font_); }
    TEXTMETRICA FontMetrics() const;  // at least one pixel high and wide
    UINT ControlType() const;  // ODT_COMBOBOX for a drop-down list
    UINT ControlId() const;
    HWND ItemWindow() const;
    HWND Owner() const;  // who draws and colours the lines: the combo box's parent for a drop-down list

    // Input (ListBoxInput.cpp).
    void ButtonDown(POINT point, WPARAM keys, bool doubleClick);
    void MouseMove(POINT point);
    void ButtonUp(POINT point);
    void FinishPress();
    void DropDownButtonDown(POINT point);
    void KeyDown(WPARAM key);
    void MoveByKey(int target, bool shift, bool control);
    void Char(unsigned char byte);
    void Wheel(int delta);
    void Scroll(int bar, WPARAM wParam);
    void FocusChanged(bool focused);
    bool Notify(int code);

    // Drawing (ListBoxPainting.cpp).
    void Paint();
    Colours PrepareDC(HDC dc) const;
    void DrawLine(HDC dc, int index, const RECT& rect, UINT action, const Colours& colours);
    void DrawEmptyFocus(HDC dc, UINT action, const Colours& colours);
    void DrawLineText(HDC dc, const RECT& rect, const std::string& text) const;
    void RedrawLine(int index, UINT action);
    bool CanDrawNow() const;

    HWND window_;
    bool dropDown_;
    HWND combo_ = nullptr;
    DropDownOwner* dropDownOwner_ = nullptr;
    DWORD style_ = 0;
    bool verticalBar_ = false;    // asked for at creation; the window system hides it while nothing scrolls
    bool horizontalBar_ = false;
    ListBoxLines lines_;
    int selected_ = -1;  // single-selection lists
    int caret_ = -1;     // -1: not set yet (line 0 has the focus rectangle)
    int anchor_ = -1;
    int top_ = 0;
    int itemHeight_ = 0;
    int columnWidth_ = 0;  // 0: not set, a default from the font
    int averageCharWidth_ = 1;
    std::vector<int> tabStops_;  // dialog units; empty: every 32
    HFONT font_ = nullptr;
    bool focused_ = false;
    bool redraw_ = true;
    bool staleWhileHidden_ = false;  // lines or scroll values changed while WM_SETREDRAW was off
    bool pressed_ = false;           // the left button went down on the list and is still held
    bool changedByPress_ = false;
    int selectionAtPress_ = -1;
    bool trackingScrollBar_ = false;
    int wheelDelta_ = 0;
    TypedCharacter typed_;
};

}  // namespace platform::controls
