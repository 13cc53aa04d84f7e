#include "platform/controls/edit/EditText.h"

#include <algorithm>

#include "platform/kernel/Locale.h"

namespace platform::controls {

namespace {

enum class Kind { Blank, Word, Punctuation, Hiragana, Katakana, Kanji };

bool IsTrail(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

char32_t Decode(const char* s, size_t length) {
    auto byte = [s](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(s[i])); };
    if (length == 1) return byte(0);
    char32_t c = byte(0) & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) c = (c << 6) | (byte(i) & 0x3F);
    return c;
}

Kind KindOf(char32_t c) {
    if (c == ' ' || c == '\t' || c == 0x3000) return Kind::Blank;
    if (c < 0x80) return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'
                             ? Kind::Word
                             : Kind::Punctuation;
    if (c >= 0x3040 && c <= 0x309F) return Kind::Hiragana;
    if ((c >= 0x30A0 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F)) return Kind::Katakana;
    if ((c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || c >= 0x20000)
        return Kind::Kanji;
    if ((c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
        (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65) || (c >= 0x2000 && c <= 0x2BFF))
        return Kind::Punctuation;
    return Kind::Word;
}

}  // namespace

std::string_view EditText::Selected() const {
    return std::string_view(text_).substr(SelectionStart(), SelectionEnd() - SelectionStart());
}

void EditText::Reset(std::string text) {
    text_ = std::move(text);
    anchor_ = caret_ = 0;
    undo_.reset();
    typing_ = false;
}

void EditText::Select(size_t anchor, size_t caret) {
    anchor_ = Boundary(anchor);
    caret_ = Boundary(caret);
    typing_ = false;
}

size_t EditText::Boundary(size_t at) const {
    if (at >= text_.size()) return text_.size();
    const char* end = text_.data() + text_.size();
    for (size_t i = 0; i < text_.size();) {
        size_t length = kernel::CharacterLength(text_.data() + i, end);
        if (i + length > at) return i;
        i += length;
    }
    return text_.size();
}

size_t EditText::Next(size_t at) const {
    if (at >= text_.size()) return text_.size();
    return at + kernel::CharacterLength(text_.data() + at, text_.data() + text_.size());
}

// Steps back over at most three continuation bytes, and takes the byte found there only if its character really
// ends here; so a stray continuation byte is a character of its own, exactly as reading forward finds it.
size_t EditText::Previous(size_t at) const {
    if (at == 0) return 0;
    at = std::min(at, text_.size());
    size_t p = at - 1;
    for (int back = 0; back < 3 && p > 0 && IsTrail(text_[p]); ++back) --p;
    if (p + kernel::CharacterLength(text_.data() + p, text_.data() + at) == at) return p;
    return at - 1;
}

namespace {

Kind KindAt(const std::string& text, size_t at) {
    size_t length = kernel::CharacterLength(text.data() + at, text.data() + text.size());
    return KindOf(Decode(text.data() + at, length));
}

}  // namespace

size_t EditText::WordStart(size_t at) const {
    if (text_.empty()) return 0;
    at = at >= text_.size() ? Previous(text_.size()) : Boundary(at);
    Kind kind = KindAt(text_, at);
    while (at > 0 && KindAt(text_, Previous(at)) == kind) at = Previous(at);
    return at;
}

size_t EditText::WordEnd(size_t at) const {
    if (text_.empty()) return 0;
    at = at >= text_.size() ? Previous(text_.size()) : Boundary(at);
    Kind kind = KindAt(text_, at);
    while (at < text_.size() && KindAt(text_, at) == kind) at = Next(at);
    if (kind != Kind::Blank)
        while (at < text_.size() && KindAt(text_, at) == Kind::Blank) at = Next(at);
    return at;
}

size_t EditText::NextWord(size_t at) const {
    at = Boundary(at);
    if (at >= text_.size()) return text_.size();
    return WordEnd(at);
}

size_t EditText::PreviousWord(size_t at) const {
    at = Boundary(at);
    while (at > 0 && KindAt(text_, Previous(at)) == Kind::Blank) at = Previous(at);
    if (at == 0) return 0;
    return WordStart(Previous(at));
}

size_t EditText::Fitting(std::string_view inserted, size_t limit) const {
    size_t kept = text_.size() - (SelectionEnd() - SelectionStart());
    size_t room = limit > kept ? limit - kept : 0;
    size_t fitting = 0;
    const char* end = inserted.data() + inserted.size();
    while (fitting < inserted.size()) {
        size_t length = kernel::CharacterLength(inserted.data() + fitting, end);
        if (fitting + length > room) break;
        fitting += length;
    }
    return fitting;
}

void EditText::ReplaceSelection(std::string_view inserted, bool typing) {
    if (!(typing && typing_ && !HasSelection())) undo_ = Snapshot{text_, anchor_, caret_};
    size_t start = SelectionStart();
    text_.replace(start, SelectionEnd() - start, inserted);
    anchor_ = caret_ = start + inserted.size();
    typing_ = typing;
}

void EditText::ForgetUndo() {
    undo_.reset();
    typing_ = false;
}

bool EditText::Undo() {
    if (!undo_) return false;
    Snapshot current{text_, anchor_, caret_};
    text_ = std::move(undo_->text);
    anchor_ = std::min(undo_->anchor, text_.size());
    caret_ = std::min(undo_->caret, text_.size());
    undo_ = std::move(current);
    typing_ = false;
    return true;
}

}  // namespace platform::controls
