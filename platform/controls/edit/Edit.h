#pragma once
// The EDIT window class, one line: typed text (input methods' included, arriving byte by byte), the caret, the
// selection by mouse and keyboard, the clipboard, one step of undo, a length limit, and EN_UPDATE then EN_CHANGE
// to the parent after every change.

#include <string>

#include "platform/controls/ControlWindow.h"
#include "platform/controls/edit/EditText.h"
#include "platform/controls/edit/EditView.h"

namespace platform::controls {

class Edit : public ControlWindow<Edit> {
  public:
    Edit(HWND window, const CREATESTRUCTA& create);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    static constexpr int kCaretWidth = 1;

    DWORD Style() const;
    bool ReadOnly() const { return Style() & ES_READONLY; }
    HFONT Font() const;
    RECT Client() const;

    std::string Cased(std::string text) const;
    bool Insert(const std::string& text, bool typing);
    size_t FittingWidth(const std::string& inserted) const;
    void Changed();
    void Select(size_t anchor, size_t caret);
    void Remeasure();
    void PlaceCaret();

    void Type(std::string text);
    void TypeByte(unsigned char byte);
    void FlushPending();
    void Erase(size_t from, size_t to);
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    void Undo();

    void HandleKey(WPARAM key);
    void HandleCharacter(unsigned char byte);
    LRESULT HandleEditMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    LRESULT HandleInput(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    bool FocusForClick();
    void Paint();

    HWND window_;
    EditText text_;
    EditView view_;
    HFONT font_ = nullptr;
    size_t limit_ = 32767;  // Windows' limit until a program sets one
    bool modified_ = false;
    bool focused_ = false;
    bool selecting_ = false;  // the left button drags the selection
    std::string pending_;     // the first bytes of a typed character whose last ones have not arrived
    size_t pendingLength_ = 0;
};

}  // namespace platform::controls
