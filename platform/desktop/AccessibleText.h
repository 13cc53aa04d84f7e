#pragma once
// An edit's text as a screen reader reads it: counted in characters, where the edit counts the bytes of its UTF-8,
// and cut by characters, words and lines. A password's characters are all read as one mask.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace platform::desktop {

// The bus's numbers for the pieces a reader asks for.
enum class TextBoundary : uint32_t { kChar = 0, kWordStart, kWordEnd, kSentenceStart, kSentenceEnd, kLineStart,
                                     kLineEnd };
enum class TextGranularity : uint32_t { kChar = 0, kWord, kSentence, kLine, kParagraph };

struct TextRange {
    std::string text;  // valid UTF-8
    int start = 0;
    int end = 0;  // one past the last character
};

// What a change of an edit's text took out and put in, both at one offset in characters.
struct TextChange {
    TextRange removed;   // from the text before
    TextRange inserted;  // into the text after
};

// One reading of the edit, taken when it is made: a reader's call reads it once and answers from it.
class AccessibleText {
  public:
    explicit AccessibleText(HWND edit);

    int CharacterCount() const { return static_cast<int>(characters_.size()); }
    // Where the caret is; with a selection, at its end, as the edit does not tell which end it stands at.
    int CaretOffset() const { return caret_; }
    int SelectionStart() const { return selectionStart_; }
    // The characters from `start` up to `end`; an `end` of -1 or beyond the text means to its end.
    std::string Text(int start, int end) const;
    char32_t CharacterAt(int offset) const;  // 0 outside the text
    // The piece holding `offset` cut at the boundary, with the spaces or line end the boundary takes along.
    // A sentence ends after ".", "!" or "?" before a space or a line's end, and after "。", "！" or "？" anywhere.
    TextRange TextAt(int offset, TextBoundary boundary) const;
    TextRange TextBefore(int offset, TextBoundary boundary) const;
    TextRange TextAfter(int offset, TextBoundary boundary) const;
    // The word, sentence, line or paragraph (a line: the edit does not wrap) holding `offset`, without what
    // surrounds it.
    TextRange StringAt(int offset, TextGranularity granularity) const;
    // The byte offset in the edit's text of a character offset, for the edit's own messages.
    int ByteOffset(int offset) const;
    // How this text became `after`: the least taken out and put in. Where that is ambiguous (typing "a" into "aa"),
    // the change ends where the caret now stands, as the user's typing and deleting leave it.
    TextChange ChangeTo(const AccessibleText& after) const;
    // Where the character at `offset` is drawn, in the edit's client coordinates (it may lie outside the client
    // area when the text is scrolled); nothing outside the text.
    std::optional<RECT> CharacterRect(int offset) const;
    // The character drawn under a point of the edit's client area, or -1.
    int OffsetAt(POINT client) const;

  private:
    TextRange Range(int start, int end) const { return {Text(start, end), start, end}; }
    int LineStart(int offset) const;
    int LineEnd(int offset) const;  // at the line's '\n', or the text's end
    bool InWord(int offset) const;
    bool SentenceStart(int offset) const;
    bool SentenceEnd(int offset) const;
    int CharacterOf(int byte) const;  // a byte inside a character stands for that character

    HWND edit_;
    std::u32string characters_;
    std::vector<int> byteStarts_;  // each character's first byte, and the text's length last
    int caret_ = 0;
    int selectionStart_ = 0;
};

// Selects the characters from `start` to `end` (the caret at `end`), posted to the edit so that it moves from its
// own loop as after the user's keys; false when the edit is disabled or the offsets are outside its text.
bool SelectText(HWND edit, int start, int end);

// A reader's change of the text, made as the user's typing and the edit's clipboard commands make it: within the
// edit's limit, undoable, and told to its owner. Whether the edit takes it is known at once; the change itself runs
// the owner's handlers, so it is made from the loop, outside the bus's dispatch, where the offsets are read again.
// Each is asked again when made, as the edit may have changed meanwhile.
bool TakesTextChange(HWND edit, int start, int end, UINT command);  // EM_REPLACESEL, WM_CUT, WM_COPY or WM_PASTE
// The characters from `start` to `end` (-1: the text's end as it is then) replaced by `text`.
void ReplaceText(HWND edit, int start, int end, const std::string& text);
// WM_CUT, WM_COPY or WM_PASTE over the characters from `start` to `end`; a copy keeps the user's selection.
void ClipboardCommand(HWND edit, int start, int end, UINT command);

}  // namespace platform::desktop
