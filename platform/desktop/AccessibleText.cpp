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

bool IsSpace(char32_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == U'\u3000'; }

}  // namespace

AccessibleText::AccessibleText(HWND edit) : edit_(edit) {
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
    selectionStart_ = CharacterOf(static_cast<int>(std::min(start, end)));
    caret_ = CharacterOf(static_cast<int>(std::max(start, end)));
}

int AccessibleText::CharacterOf(int byte) const {
    const auto after = std::upper_bound(byteStarts_.begin(), byteStarts_.end(), byte);
    return std::clamp(static_cast<int>(after - byteStarts_.begin()) - 1, 0, CharacterCount());
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
    const auto frontMost =
        static_cast<size_t>(std::max<std::ptrdiff_t>(0, after.caret_ - static_cast<std::ptrdiff_t>(grown)));
    size_t front = 0;
    while (front < shorter && front < frontMost && was[front] == now[front]) ++front;
    size_t back = 0;
    while (back < shorter - front && was[was.size() - 1 - back] == now[now.size() - 1 - back]) ++back;
    const int start = static_cast<int>(front);
    return {Range(start, static_cast<int>(was.size() - back)),
            after.Range(start, static_cast<int>(now.size() - back))};
}

std::optional<RECT> AccessibleText::CharacterRect(int offset) const {
    if (offset < 0 || offset >= CharacterCount()) return {};
    const LRESULT at = SendMessageA(edit_, EM_POSFROMCHAR, static_cast<WPARAM>(ByteOffset(offset)), 0);
    if (at == -1) return {};
    // The edit's line: as high as its font's characters, where it draws them.
    RECT line{};
    SendMessageA(edit_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&line));
    // The next character's place ends this one; the last is measured in the edit's font, or without one in the
    // font dialogs' controls take.
    const LRESULT next = offset + 1 < CharacterCount()
                             ? SendMessageA(edit_, EM_POSFROMCHAR, static_cast<WPARAM>(ByteOffset(offset + 1)), 0)
                             : -1;
    int width = 0;
    if (next != -1) {
        width = GET_X_LPARAM(next) - GET_X_LPARAM(at);
    } else if (HDC dc = GetDC(edit_)) {
        auto font = reinterpret_cast<HFONT>(SendMessageA(edit_, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
        std::string drawn;
        kernel::AppendUtf8(drawn, characters_[static_cast<size_t>(offset)]);
        if (GetWindowLongA(edit_, GWL_STYLE) & ES_PASSWORD) drawn = "*";
        SIZE size{};
        GetTextExtentPoint32A(dc, drawn.data(), static_cast<int>(drawn.size()), &size);
        width = size.cx;
        SelectObject(dc, old);
        ReleaseDC(edit_, dc);
    }
    const int left = GET_X_LPARAM(at), top = GET_Y_LPARAM(at);
    return RECT{left, top, left + std::max(width, 0), top + std::max<int>(line.bottom - line.top, 0)};
}

int AccessibleText::OffsetAt(POINT client) const {
    RECT area{};
    if (!GetClientRect(edit_, &area) || !PtInRect(&area, client)) return -1;
    const LRESULT nearest = SendMessageA(edit_, EM_CHARFROMPOS, 0, MAKELPARAM(client.x, client.y));
    // The edit answers with the caret's place nearest the point: the character is the one before or after it.
    const int around = CharacterOf(LOWORD(nearest));
    for (const int offset : {around, around - 1}) {
        const std::optional<RECT> rect = CharacterRect(offset);
        if (rect && client.x >= rect->left && client.x < rect->right) return offset;
    }
    return -1;
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

bool AccessibleText::SentenceStart(int offset) const {
    if (offset <= 0 || offset >= CharacterCount()) return offset == 0 && CharacterCount() > 0;
    if (IsSpace(characters_[static_cast<size_t>(offset)])) return false;
    // Back over the spaces before it: a line's end or a sentence's end starts a new one.
    int before = offset;
    while (before > 0 && IsSpace(characters_[static_cast<size_t>(before - 1)])) {
        if (characters_[static_cast<size_t>(before - 1)] == '\n') return true;
        --before;
    }
    return before == 0 || SentenceEnd(before);
}

bool AccessibleText::SentenceEnd(int offset) const {
    if (offset <= 0 || offset > CharacterCount()) return false;
    const char32_t last = characters_[static_cast<size_t>(offset - 1)];
    if (last == U'\u3002' || last == U'\uFF01' || last == U'\uFF1F') return true;  // 。！？ need no space after
    if (last != '.' && last != '!' && last != '?') return false;
    return offset == CharacterCount() || IsSpace(characters_[static_cast<size_t>(offset)]);
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
        case TextBoundary::kSentenceStart:
        case TextBoundary::kSentenceEnd: {
            // As with words: the spaces between sentences go with the one before (starts) or after (ends), and a
            // line's end, ending a sentence, goes with the sentence before it.
            const bool starts = boundary == TextBoundary::kSentenceStart;
            const auto lineEnd = [&](int i) { return i < count && LineEnd(i) == i && LineStart(i) != i; };
            const auto at = [&](int i) { return starts ? SentenceStart(i) : SentenceEnd(i) || lineEnd(i); };
            int start = offset, end = offset + 1;
            while (start > 0 && !at(start)) --start;
            while (end < count && !at(end)) ++end;
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
        case TextGranularity::kSentence: {
            // From the sentence's first character to its final mark, or to its line's end without one.
            int start = offset;
            while (start > 0 && !SentenceStart(start)) --start;
            int end = std::max(start, offset);
            while (end < LineEnd(start) && !SentenceEnd(end)) ++end;
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

bool TakesTextChange(HWND edit, int start, int end, UINT command) {
    if (!IsWindow(edit) || !IsWindowEnabled(edit)) return false;
    const auto style = static_cast<DWORD>(GetWindowLongA(edit, GWL_STYLE));
    // A password is never copied or cut out, as the edit refuses; copying changes nothing and needs no typing.
    if ((style & ES_PASSWORD) && (command == WM_COPY || command == WM_CUT)) return false;
    if ((style & ES_READONLY) && command != WM_COPY) return false;
    return start >= 0 && start <= end && end <= AccessibleText(edit).CharacterCount();
}

void ReplaceText(HWND edit, int start, int end, const std::string& text) {
    // Asked for before, made now: the edit is asked again as it stands.
    if (end < 0) end = AccessibleText(edit).CharacterCount();
    if (!TakesTextChange(edit, start, end, EM_REPLACESEL)) return;
    const AccessibleText now(edit);
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(now.ByteOffset(start)), now.ByteOffset(end));
    SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

void ClipboardCommand(HWND edit, int start, int end, UINT command) {
    if (!TakesTextChange(edit, start, end, command)) return;
    DWORD kept[2] = {};
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&kept[0]), reinterpret_cast<LPARAM>(&kept[1]));
    const AccessibleText now(edit);
    SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(now.ByteOffset(start)), now.ByteOffset(end));
    SendMessageA(edit, command, 0, 0);
    // A copy leaves the user's selection as it was, so that the next key does not replace what the reader copied.
    if (command == WM_COPY) SendMessageA(edit, EM_SETSEL, kept[0], static_cast<LPARAM>(kept[1]));
}

}  // namespace platform::desktop
