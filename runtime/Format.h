#pragma once
// printf-style formatting for the program's own patterns, byte for byte:
//   %d  decimal;  %x  upper-case hexadecimal (a negative 32-bit value as its two's complement, -1 is FFFFFFFF);
//   %s  text;  %p  pointer, upper-case hexadecimal with at least 8 digits;  %%  a percent sign.
// Between "%" and the letter: "-" aligns left, a width pads with blanks (right-aligned unless "-"), and ".n" is
// the minimum number of digits for numbers (zero-padded) or the maximum number of bytes taken from a text.
// A pattern that does not fit its arguments (too few, too many, a text for %d, an unknown letter) is a
// programmer's mistake and raises EConvertError.

#include <array>
#include <concepts>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace runtime {

// One argument of Format, seen by kind. It only refers to the caller's text, so it lives no longer than the call.
class FormatArg {
  public:
    enum class Kind { Integer, Text, Pointer };

    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char>)
    FormatArg(T value)
        : kind_(Kind::Integer), bits_(static_cast<uint64_t>(value)), signed_(std::is_signed_v<T>) {}
    FormatArg(std::string_view text) : kind_(Kind::Text), text_(text) {}
    FormatArg(const std::string& text) : kind_(Kind::Text), text_(text) {}
    FormatArg(const char* text) : kind_(Kind::Text), text_(text ? std::string_view(text) : std::string_view()) {}
    template <typename T>
        requires(!std::same_as<std::remove_cv_t<T>, char>)
    FormatArg(T* pointer) : kind_(Kind::Pointer), bits_(reinterpret_cast<uintptr_t>(pointer)) {}
    FormatArg(std::nullptr_t) : kind_(Kind::Pointer) {}

    Kind ArgKind() const { return kind_; }
    std::string_view Text() const { return text_; }
    // The integer or pointer value as 64 bits; Signed() tells how to read an integer.
    uint64_t Bits() const { return bits_; }
    bool Signed() const { return signed_; }

  private:
    Kind kind_;
    std::string_view text_;
    uint64_t bits_ = 0;
    bool signed_ = false;
};

std::string FormatList(std::string_view pattern, std::span<const FormatArg> args);

}  // namespace runtime

template <typename... Args>
std::string Format(std::string_view pattern, const Args&... args) {
    const std::array<runtime::FormatArg, sizeof...(Args)> list{runtime::FormatArg(args)...};
    return runtime::FormatList(pattern, list);
}
