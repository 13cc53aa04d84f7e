#pragma once
// The text of a one-line edit control in the system code page (UTF-8 bytes), its selection, and the one step of
// undo that Windows keeps. Every position it hands out lies between two characters: a multi-byte character is
// never split. A byte that does not belong to a valid character counts as a character of its own.

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform::controls {

class EditText {
  public:
    const std::string& Text() const { return text_; }
    size_t Size() const { return text_.size(); }
    size_t Anchor() const { return anchor_; }
    size_t Caret() const { return caret_; }
    size_t SelectionStart() const { return std::min(anchor_, caret_); }
    size_t SelectionEnd() const { return std::max(anchor_, caret_); }
    bool HasSelection() const { return anchor_ != caret_; }
    std::string_view Selected() const;

    // Replaces everything, caret at the start, undo forgotten.
    void Reset(std::string text);
    // The anchor stays where the selection started; the caret is its moving end.
    void Select(size_t anchor, size_t caret);

    // Character boundaries: the one at or before a byte position, and the neighbours of a boundary.
    size_t Boundary(size_t at) const;
    size_t Next(size_t at) const;
    size_t Previous(size_t at) const;
    // Words are runs of one kind of character (letters and digits, kana, kanji, punctuation); a word's end takes
    // the blanks after it, as a double click selects it.
    size_t WordStart(size_t at) const;
    size_t WordEnd(size_t at) const;
    size_t NextWord(size_t at) const;
    size_t PreviousWord(size_t at) const;

    // The longest start of `inserted`, in whole characters, that fits when the selection is replaced and the text
    // may hold at most `limit` bytes.
    size_t Fitting(std::string_view inserted, size_t limit) const;

    // Replaces the selection; the caret ends after the inserted text. A typed character that follows the previous
    // one keeps the undo step that typing began, so one undo takes back a run of typing.
    void ReplaceSelection(std::string_view inserted, bool typing);
    // Ends a run of typing: the next change starts a new undo step.
    void EndTyping() { typing_ = false; }
    bool CanUndo() const { return undo_.has_value(); }
    void ForgetUndo();
    // Swaps the text with the undo step, so a second undo takes the first one back.
    bool Undo();

  private:
    struct Snapshot {
        std::string text;
        size_t anchor;
        size_t caret;
    };

    std::string text_;
    size_t anchor_ = 0;
    size_t caret_ = 0;
    std::optional<Snapshot> undo_;
    bool typing_ = false;
};

}  // namespace platform::controls
