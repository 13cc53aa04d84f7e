#include "runtime/LayoutValue.h"

#include <charconv>
#include <cstdio>

#include "runtime/Exception.h"
#include "runtime/JsonReader.h"

using runtime::JsonValue;

namespace {

void Write(std::string& out, const std::string& text) {
    out += '"';
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escape[8];
                    std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                    out += escape;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

// Compact JSON, as the value would be written back.
void Write(std::string& out, const JsonValue& value) {
    switch (value.kind) {
        case JsonValue::Kind::Null: out += "null"; break;
        case JsonValue::Kind::Boolean: out += value.boolean ? "true" : "false"; break;
        case JsonValue::Kind::Number: out += value.text; break;
        case JsonValue::Kind::Text: Write(out, value.text); break;
        case JsonValue::Kind::List:
            out += '[';
            for (size_t i = 0; i < value.items.size(); ++i) {
                if (i > 0) out += ',';
                Write(out, value.items[i]);
            }
            out += ']';
            break;
        case JsonValue::Kind::Object:
            out += '{';
            for (size_t i = 0; i < value.members.size(); ++i) {
                if (i > 0) out += ',';
                Write(out, value.members[i].name);
                out += ':';
                Write(out, value.members[i].value);
            }
            out += '}';
            break;
    }
}

// Cut at a character's start, so that a shortened Japanese text stays readable UTF-8.
std::string Shortened(const JsonValue& value) {
    std::string text;
    Write(text, value);
    if (text.size() <= 60) return text;
    size_t cut = 57;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut) + "...";
}

[[noreturn]] void Refuse(const JsonValue& value, const char* wanted) {
    throw EConvertError(Msg::SLayoutValue, Shortened(value), wanted);
}

}  // namespace

TLayoutValue TLayoutValue::Parse(std::string_view text) {
    try {
        return TLayoutValue(std::make_shared<const JsonValue>(runtime::ReadJson(text)));
    } catch (const runtime::JsonSyntaxError& error) {
        throw EConvertError(Msg::SLayoutSyntax, error.what());
    }
}

bool TLayoutValue::IsText() const { return value_->kind == JsonValue::Kind::Text; }
bool TLayoutValue::IsNumber() const { return value_->kind == JsonValue::Kind::Number; }
bool TLayoutValue::IsBoolean() const { return value_->kind == JsonValue::Kind::Boolean; }
bool TLayoutValue::IsList() const { return value_->kind == JsonValue::Kind::List; }
bool TLayoutValue::IsObject() const { return value_->kind == JsonValue::Kind::Object; }

std::string TLayoutValue::Text() const {
    if (!IsText()) Refuse(*value_, "text");
    return value_->text;
}

int32_t TLayoutValue::Integer() const {
    if (!IsNumber()) Refuse(*value_, "integer");
    // The reader has checked the number's form; a fraction, an exponent or too many digits stop it here.
    const std::string& text = value_->text;
    int32_t number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) Refuse(*value_, "integer");
    return number;
}

bool TLayoutValue::Boolean() const {
    if (!IsBoolean()) Refuse(*value_, "true/false");
    return value_->boolean;
}

std::vector<TLayoutValue> TLayoutValue::Items() const {
    if (!IsList()) Refuse(*value_, "list");
    std::vector<TLayoutValue> items;
    for (const JsonValue& item : value_->items) items.push_back(TLayoutValue({value_, &item}));
    return items;
}

std::vector<std::pair<std::string, TLayoutValue>> TLayoutValue::Members() const {
    if (!IsObject()) Refuse(*value_, "object");
    std::vector<std::pair<std::string, TLayoutValue>> members;
    for (const auto& [name, member] : value_->members) members.emplace_back(name, TLayoutValue({value_, &member}));
    return members;
}

std::optional<TLayoutValue> TLayoutValue::Member(std::string_view name) const {
    if (!IsObject()) Refuse(*value_, "object");
    for (const auto& [memberName, member] : value_->members)
        if (memberName == name) return TLayoutValue({value_, &member});
    return std::nullopt;
}

std::string TLayoutValue::Describe() const { return Shortened(*value_); }
