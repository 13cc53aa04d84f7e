// The edit's text in characters. The edit holds UTF-8, which a file's name may break: a byte that starts no
// character is one character of its own here, read as U+FFFD, so that every offset still stands for one byte range.

#include "platform/desktop/AccessibleText.h"

#include <algorithm>
#include <cstddef>

#include "platform/kernel/Names.h"
#include "platform/kernel/Utf8.h"

namespace platform::desktop {
namespace {

constexpr char32_t kMask = U'\u25CF';  // what a password shows for each of its characters

bool IsWordCharacter(char32_t c) {
    // Beyond ASCII every character counts as a letter: a Japanese title is one word until a space or a mark.
    if (c >= 0x80) return c != U'\u3000' && c != U'\u3001' && c != U'\u3002';
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '\'';
}

}  // namespace

AccessibleText::AccessibleText(HWND edit) {
    const int length = std::max(GetWindowTextLengthA(edit), 0);
    std::string raw(static_cast<size_t>(length) + 1, '\0');
    raw.resize(static_cast<size_t>(std::clamp(GetWindowTextA(edit, raw.data(), length + 1), 0, length)));
    std::vector<int> lengths;
    characters_ = kernel::DecodeUtf8(raw, &lengths);
    const bool password = GetWindowLongA(edit, GWL_STYLE) & ES_PASSWORD;
    for (char32_t& c : characters_) {
        // A reader takes line ends and tabs as they are; other carried characters read as they are shown.
        if (password) c = kMask;
        else if (c >= 0x20) c = kernel::ShownCharacter(c);
    }
    byteStarts_.reserve(lengths.size() + 1);
    int byte = 0;
    for (int bytes : lengths) {
        byteStarts_.push_back(byte);
        byte += bytes;
    }
    byteStarts_.push_back(byte);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    // A byte offset inside a character stands for that character's start.
    const auto characterOf = [this](DWORD bytes) {
        const auto after = std::upper_bound(byteStarts_.begin(), byteStarts_.end(), static_cast<int>(bytes));
        return std::min(static_cast<int>(after - byteStarts_.begin()) - 1, CharacterCount());
    };
    selectionStart_ = characterOf(std::min(start, end));
    caret_ = characterOf(std::max(start, end));
}

int AccessibleText::ByteOffset(int offset) const {
    return byteStarts_[static_cast<size_t>(std::clamp(offset, 0, CharacterCount()))];
}

TextChange AccessibleText::ChangeTo(const AccessibleText& after) const {
    const std::u32string& was = characters_;
    const std::u32string& now = after.characters_;
    const size_t shorter = std::min(was.size(), now.size());
    const size_t grown = now.size() - shorter;
    // The text before the caret less what was put in is the most that can have stayed in front of the change.
    const size_t frontMost = static_cast<size_t>(std::max<std::ptrdiff_t>(0, after.caret_ - static_cast<std::ptrdiff_t>(grown)));
    size_t front = 0;
    while (front < shorter && front < frontMost && was[front] == now[front]) ++front;
    size_t back = 0;
    while (back < shorter - front && was[was.size() - 1 - back] == now[now.size() - 1 - back]) ++back;
    const int start = static_cast<int>(front);
    return {Range(start, static_cast<int>(was.size() - back)),
            after.Range(start, static_cast<int>(now.size() - back))};
}

std::string AccessibleText::Text(int start, int end) const {
    const int count = CharacterCount();
    if (end < 0 || end > count) end = count;
    start = std::clamp(start, 0, count);
    std::string text;
    for (int i = start; i < end; ++i) kernel::AppendUtf8(text, characters_[static_cast<size_t>(i)]);
    return text;
}

char32_t AccessibleText::CharacterAt(int offset) const {
    return offset >= 0 && offset < CharacterCount() ? characters_[static_cast<size_t>(offset)] : 0;
}

int AccessibleText::LineStart(int offset) const {
    while (offset > 0 && characters_[static_cast<size_t>(offset - 1)] != '\n') --offset;
    return offset;
}

int AccessibleText::LineEnd(int offset) const {
    while (offset < CharacterCount() && characters_[static_cast<size_t>(offset)] != '\n') ++offset;
    // A line ended by "\r\n" ends before its '\r'.
    if (offset > 0 && offset < CharacterCount() && characters_[static_cast<size_t>(offset - 1)] == '\r') --offset;
    return offset;
}

bool AccessibleText::InWord(int offset) const {
    return offset >= 0 && offset < CharacterCount() && IsWordCharacter(characters_[static_cast<size_t>(offset)]);
}

TextRange AccessibleText::TextAt(int offset, TextBoundary boundary) const {
    const int count = CharacterCount();
    if (offset < 0 || offset > count) return {};
    const auto wordStart = [this](int i) { return InWord(i) && !InWord(i - 1); };
    const auto wordEnd = [this](int i) { return i > 0 && InWord(i - 1) && !InWord(i); };
    switch (boundary) {
        case TextBoundary::kChar: return Range(offset, std::min(offset + 1, count));
        case TextBoundary::kWordStart:
        case TextBoundary::kWordEnd: {
            // From the boundary at or before the offset to the next one after it, the spaces between words going
            // with the word before them (word starts) or after them (word ends).
            int start = offset, end = offset + 1;
            if (boundary == TextBoundary::kWordStart) {
                while (start > 0 && !wordStart(start)) --start;
                while (end < count && !wordStart(end)) ++end;
            } else {
                while (start > 0 && !wordEnd(start)) --start;
                while (end < count && !wordEnd(end)) ++end;
            }
            return Range(start, std::min(end, count));
        }
        case TextBoundary::kLineStart: {
            // The line and the line end after it.
            const int start = LineStart(offset);
            int end = LineEnd(offset);
            while (end < count && characters_[static_cast<size_t>(end)] != '\n') ++end;
            return Range(start, std::min(end + 1, count));
        }
        case TextBoundary::kLineEnd: {
            // The line end before the line, and the line.
            int start = LineStart(offset);
            if (start > 0) --start;
            if (start > 0 && characters_[static_cast<size_t>(start - 1)] == '\r') --start;
            return Range(start, LineEnd(offset));
        }
        default: return {};
    }
}

TextRange AccessibleText::TextBefore(int offset, TextBoundary boundary) const {
    const TextRange at = TextAt(offset, boundary);
    if (at.start <= 0) return {};
    return TextAt(at.start - 1, boundary);
}

TextRange AccessibleText::TextAfter(int offset, TextBoundary boundary) const {
    const TextRange at = TextAt(offset, boundary);
    if (at.end == at.start || at.end >= CharacterCount()) return {"", CharacterCount(), CharacterCount()};
    // A line taken with the end before it is followed by the line after its own end.
    int next = at.end;
    if (boundary == TextBoundary::kLineEnd) {
        while (next < CharacterCount() && characters_[static_cast<size_t>(next)] != '\n') ++next;
        ++next;
    }
    return TextAt(std::min(next, CharacterCount()), boundary);
}

TextRange AccessibleText::StringAt(int offset, TextGranularity granularity) const {
    const int count = CharacterCount();
    if (offset < 0 || offset > count) return {};
    switch (granularity) {
        case TextGranularity::kChar: return Range(offset, std::min(offset + 1, count));
        case TextGranularity::kWord: {
            // The word holding the offset, or the run of spaces and marks between two words.
            const bool word = InWord(offset);
            int start = offset, end = offset;
            while (start > 0 && InWord(start - 1) == word) --start;
            while (end < count && InWord(end) == word) ++end;
            return Range(start, end);
        }
        case TextGranularity::kLine:
        case TextGranularity::kParagraph: return Range(LineStart(offset), LineEnd(offset));
        default: return {};
    }
}

// The edit is told in its own bytes, posted: it moves from its loop, as after the user's keys.
bool SelectText(HWND edit, int start, int end) {
    if (!IsWindowEnabled(edit)) return false;
    const AccessibleText text(edit);
    const int count = text.CharacterCount();
    if (start < 0 || start > count || end < 0 || end > count) return false;
    return PostMessageA(edit, EM_SETSEL, static_cast<WPARAM>(text.ByteOffset(start)), text.ByteOffset(end));
}

}  // namespace platform::desktop
