#pragma once
// A reader of JSON text into a tree that keeps each object's members in the order the text gives them. Everything
// is checked as it is read: texts must be well-formed UTF-8 with complete escapes, numbers must follow the JSON
// grammar, nesting stops at kMaxJsonDepth, and nothing but blanks may follow the value. A leading UTF-8 byte order
// mark is skipped. When a name occurs twice in one object, the later value replaces the earlier one in its place.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// Deeper than any layout needs, and shallow enough that reading, copying and freeing a tree stay far from the end
// of the stack.
inline constexpr int kMaxJsonDepth = 200;

struct JsonMember;

struct JsonValue {
    enum class Kind { Null, Boolean, Number, Text, List, Object };

    Kind kind = Kind::Null;
    bool boolean = false;
    // A text's characters in UTF-8, or a number exactly as the file writes it (it is read when it is asked for).
    std::string text;
    std::vector<JsonValue> items;
    // A pair would need the value's type whole where it is still being declared, which not every compiler lets by.
    std::vector<JsonMember> members;
};

struct JsonMember {
    std::string name;
    JsonValue value;
};

// The first fault in a text, with its place: lines and columns count from 1, columns in bytes.
class JsonSyntaxError : public std::runtime_error {
  public:
    JsonSyntaxError(size_t line, size_t column, const std::string& reason);

    size_t Line() const { return line_; }
    size_t Column() const { return column_; }

  private:
    size_t line_;
    size_t column_;
};

// The one value that text holds; raises JsonSyntaxError at the first fault.
JsonValue ReadJson(std::string_view text);

}  // namespace runtime
