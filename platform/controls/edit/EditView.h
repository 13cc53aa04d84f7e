#pragma once
// How a one-line edit control shows its text: where each character boundary lies on the line, the horizontal
// scroll that keeps the caret in sight, hit-testing for the mouse, and the drawing of text and selection.

#include <string>
#include <vector>

#include "platform/controls/edit/EditText.h"
#include "platform/win32.h"

namespace platform::controls {

class EditView {
  public:
    // Measures the text in the font; a password shows one star for each character.
    void Measure(HFONT font, const EditText& text, bool password);
    // The width the text would take in the font.
    static int TextWidth(HFONT font, const std::string& text);

    int LineHeight() const { return lineHeight_; }
    int Top(const RECT& client) const;
    int XOf(size_t position) const;  // client x of a boundary
    int Scroll() const { return scroll_; }
    void ResetScroll() { scroll_ = 0; }
    // Scrolls so the position shows (a third of the width at a time, as Windows jumps); returns whether it moved.
    bool ScrollToShow(size_t position, const RECT& client);
    // Room for text between the margins.
    static int Room(const RECT& client);

    size_t PositionAt(const EditText& text, int x) const;   // the boundary nearest to x
    size_t CharacterAt(const EditText& text, int x) const;  // the character under x

    void Paint(HDC dc, const RECT& client, const EditText& text, bool showSelection) const;

  private:
    std::string shown_;
    std::vector<int> offsets_;  // for each byte position, its x from the text's start
    int lineHeight_ = 0;
    int scroll_ = 0;
};

}  // namespace platform::controls
