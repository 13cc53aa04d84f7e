#include "runtime/JsonReader.h"

#include <cstdint>
#include <unordered_map>

namespace runtime {

JsonSyntaxError::JsonSyntaxError(size_t line, size_t column, const std::string& reason)
    : std::runtime_error("parse error at line " + std::to_string(line) + ", column " + std::to_string(column) +
                         ": " + reason),
      line_(line),
      column_(column) {}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0 when it is not one: no overlong
// forms, no surrogates, nothing above U+10FFFF.
size_t Utf8SequenceLength(std::string_view bytes) {
    auto byte = [&](size_t i) { return i < bytes.size() ? static_cast<uint8_t>(bytes[i]) : 0; };
    auto continues = [&](size_t i, uint8_t low, uint8_t high) { return byte(i) >= low && byte(i) <= high; };
    uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return continues(1, 0x80, 0xBF) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        uint8_t low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        return continues(1, low, high) && continues(2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        uint8_t low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        return continues(1, low, high) && continues(2, 0x80, 0xBF) && continues(3, 0x80, 0xBF) ? 4 : 0;
    }
    return 0;
}

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    JsonValue Document() {
        if (text_.starts_with("\xEF\xBB\xBF")) pos_ = 3;
        JsonValue value = Value(0);
        SkipBlanks();
        if (pos_ < text_.size()) Fail("expected the end of the text after the value");
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& reason) const {
        size_t line = 1, lineStart = 0;
        for (size_t i = 0; i < pos_ && i < text_.size(); ++i) {
            if (text_[i] != '\n') continue;
            ++line;
            lineStart = i + 1;
        }
        std::string what = pos_ >= text_.size() ? "unexpected end of text; " + reason : reason;
        throw JsonSyntaxError(line, pos_ - lineStart + 1, what);
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    void SkipBlanks() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r')) ++pos_;
    }

    // Skips blanks and then c if it comes next.
    bool Take(char c) {
        SkipBlanks();
        if (AtEnd() || Peek() != c) return false;
        ++pos_;
        return true;
    }

    void Expect(char c, const char* reason) {
        if (!Take(c)) Fail(reason);
    }

    JsonValue Value(int depth) {
        SkipBlanks();
        JsonValue value;
        switch (Peek()) {
            case '{': Object(value, depth + 1); break;
            case '[': List(value, depth + 1); break;
            case '"':
                value.kind = JsonValue::Kind::Text;
                value.text = Text();
                break;
            case 't': Literal("true", value, JsonValue::Kind::Boolean, true); break;
            case 'f': Literal("false", value, JsonValue::Kind::Boolean, false); break;
            case 'n': Literal("null", value, JsonValue::Kind::Null, false); break;
            default:
                if (Peek() != '-' && !IsDigit(Peek())) Fail("expected a value");
                Number(value);
        }
        return value;
    }

    void Literal(std::string_view word, JsonValue& value, JsonValue::Kind kind, bool boolean) {
        if (text_.substr(pos_, word.size()) != word) Fail("expected a value");
        pos_ += word.size();
        value.kind = kind;
        value.boolean = boolean;
    }

    void Object(JsonValue& value, int depth) {
        if (depth > kMaxJsonDepth) Fail("nested deeper than " + std::to_string(kMaxJsonDepth));
        value.kind = JsonValue::Kind::Object;
        ++pos_;
        if (Take('}')) return;
        std::unordered_map<std::string, size_t> places;
        do {
            SkipBlanks();
            if (AtEnd() || Peek() != '"') Fail("expected a name in double quotes");
            std::string name = Text();
            Expect(':', "expected ':' after the name");
            JsonValue member = Value(depth);
            auto [place, added] = places.try_emplace(name, value.members.size());
            if (added) value.members.push_back({std::move(name), std::move(member)});
            else value.members[place->second].value = std::move(member);
        } while (Take(','));
        Expect('}', "expected ',' or '}'");
    }

    void List(JsonValue& value, int depth) {
        if (depth > kMaxJsonDepth) Fail("nested deeper than " + std::to_string(kMaxJsonDepth));
        value.kind = JsonValue::Kind::List;
        ++pos_;
        if (Take(']')) return;
        do {
            value.items.push_back(Value(depth));
        } while (Take(','));
        Expect(']', "expected ',' or ']'");
    }

    // -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?, kept as written.
    void Number(JsonValue& value) {
        size_t start = pos_;
        auto digits = [&] {
            if (!IsDigit(Peek())) Fail("expected a digit");
            while (IsDigit(Peek())) ++pos_;
        };
        if (Peek() == '-') ++pos_;
        if (Peek() == '0') ++pos_;
        else digits();
        if (Peek() == '.') {
            ++pos_;
            digits();
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++pos_;
            if (Peek() == '+' || Peek() == '-') ++pos_;
            digits();
        }
        value.kind = JsonValue::Kind::Number;
        value.text = text_.substr(start, pos_ - start);
    }

    std::string Text() {
        ++pos_;  // the opening quote
        std::string out;
        for (;;) {
            if (AtEnd()) Fail("the text in double quotes is not closed");
            char c = Peek();
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (static_cast<uint8_t>(c) < 0x20) Fail("control characters in a text must be escaped");
            if (c == '\\') {
                Escape(out);
                continue;
            }
            size_t length = Utf8SequenceLength(text_.substr(pos_));
            if (length == 0) Fail("the text is not well-formed UTF-8");
            out.append(text_.substr(pos_, length));
            pos_ += length;
        }
    }

    void Escape(std::string& out) {
        ++pos_;  // the backslash
        char c = Peek();
        if (AtEnd()) Fail("the text in double quotes is not closed");
        static constexpr std::string_view kEscapes = "\"\"\\\\//b\bf\fn\nr\rt\t";
        for (size_t i = 0; i < kEscapes.size(); i += 2)
            if (kEscapes[i] == c) {
                out += kEscapes[i + 1];
                ++pos_;
                return;
            }
        if (c != 'u') Fail("unknown escape");
        uint32_t code = Hex4();
        if (code >= 0xDC00 && code <= 0xDFFF) Fail("a low surrogate without a high one before it");
        if (code >= 0xD800 && code <= 0xDBFF) {
            if (text_.substr(pos_, 2) != "\\u") Fail("a high surrogate without a low one after it");
            ++pos_;
            uint32_t low = Hex4();
            if (low < 0xDC00 || low > 0xDFFF) Fail("a high surrogate without a low one after it");
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(out, code);
    }

    // Four hexadecimal digits after the 'u' at pos_.
    uint32_t Hex4() {
        ++pos_;
        uint32_t code = 0;
        for (int i = 0; i < 4; ++i, ++pos_) {
            char c = Peek();
            int digit = IsDigit(c)               ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
            if (digit < 0) Fail("'\\u' needs four hexadecimal digits");
            code = code * 16 + static_cast<uint32_t>(digit);
        }
        return code;
    }

    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace

JsonValue ReadJson(std::string_view text) { return Reader(text).Document(); }

}  // namespace runtime
