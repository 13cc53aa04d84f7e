#pragma once
// A value of a form's layout file: a text, a number, a truth value, a list, or named values in the order the file
// gives them. The files are JSON; this keeps the reader (runtime/JsonReader.h) out of everything that reads them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace runtime {
struct JsonValue;
}

class TLayoutValue {
  public:
    // Raises EConvertError naming the line and column of the first fault.
    static TLayoutValue Parse(std::string_view text);

    bool IsText() const;
    bool IsNumber() const;
    bool IsBoolean() const;
    bool IsList() const;
    bool IsObject() const;

    // Each raises EConvertError when the value is of another kind (or, for Integer, not a 32-bit whole number).
    std::string Text() const;
    int32_t Integer() const;
    bool Boolean() const;
    std::vector<TLayoutValue> Items() const;
    std::vector<std::pair<std::string, TLayoutValue>> Members() const;
    std::optional<TLayoutValue> Member(std::string_view name) const;

    // The value as the file would write it, cut short, for error messages.
    std::string Describe() const;

  private:
    explicit TLayoutValue(std::shared_ptr<const runtime::JsonValue> value) : value_(std::move(value)) {}
    // A part of a tree holds the whole tree alive (shared_ptr's aliasing constructor), so handing out parts copies
    // nothing.
    std::shared_ptr<const runtime::JsonValue> value_;
};
