#include "runtime/Format.h"

#include <algorithm>
#include <limits>

#include "runtime/Exception.h"

namespace runtime {

namespace {

// A width or precision beyond this is a mistake in the pattern, not a request for megabytes of blanks.
constexpr size_t kMaxFieldSize = 4096;
// A pointer is shown with at least 8 hexadecimal digits, as a 32-bit address would be.
constexpr size_t kPointerDigits = 8;

struct Conversion {
    bool leftAligned = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;
    char letter = 0;
};

[[noreturn]] void Mismatch(std::string_view pattern) { throw EConvertError(Msg::SFormatMismatch, pattern); }

size_t ReadNumber(std::string_view pattern, size_t& i) {
    size_t value = 0;
    while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
        value = value * 10 + static_cast<size_t>(pattern[i] - '0');
        if (value > kMaxFieldSize) Mismatch(pattern);
        ++i;
    }
    return value;
}

// Reads the conversion after a "%" that starts at i - 1; i ends after its letter.
Conversion ReadConversion(std::string_view pattern, size_t& i) {
    Conversion conversion;
    if (i < pattern.size() && pattern[i] == '-') {
        conversion.leftAligned = true;
        ++i;
    }
    conversion.width = ReadNumber(pattern, i);
    if (i < pattern.size() && pattern[i] == '.') {
        ++i;
        conversion.hasPrecision = true;
        conversion.precision = ReadNumber(pattern, i);
    }
    if (i >= pattern.size()) Mismatch(pattern);
    conversion.letter = pattern[i++];
    return conversion;
}

std::string Digits(uint64_t value, unsigned base, size_t minimumDigits) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string reversed;
    do {
        reversed += kDigits[value % base];
        value /= base;
    } while (value != 0);
    if (reversed.size() < minimumDigits) reversed.append(minimumDigits - reversed.size(), '0');
    return std::string(reversed.rbegin(), reversed.rend());
}

// The bytes of text that fit in at most maximum bytes without cutting a multi-byte character in two.
std::string_view CutText(std::string_view text, size_t maximum) {
    if (text.size() <= maximum) return text;
    size_t end = maximum;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

std::string Convert(std::string_view pattern, const Conversion& conversion, const FormatArg& arg) {
    using Kind = FormatArg::Kind;
    size_t minimumDigits = conversion.hasPrecision ? conversion.precision : 0;
    switch (conversion.letter) {
        case 'd': {
            if (arg.ArgKind() != Kind::Integer) break;
            bool negative = arg.Signed() && static_cast<int64_t>(arg.Bits()) < 0;
            uint64_t magnitude = negative ? 0 - arg.Bits() : arg.Bits();
            std::string text(negative ? "-" : "");
            return text.append(Digits(magnitude, 10, minimumDigits));
        }
        case 'x': {
            if (arg.ArgKind() != Kind::Integer) break;
            uint64_t bits = arg.Bits();
            int64_t signedValue = static_cast<int64_t>(bits);
            // Negative values that fit 32 bits read as the 32-bit word they are stored in.
            if (arg.Signed() && signedValue < 0 && signedValue >= std::numeric_limits<int32_t>::min())
                bits = static_cast<uint32_t>(signedValue);
            return Digits(bits, 16, minimumDigits);
        }
        case 'p':
            if (arg.ArgKind() != Kind::Pointer) break;
            return Digits(arg.Bits(), 16, std::max(minimumDigits, kPointerDigits));
        case 's':
            if (arg.ArgKind() != Kind::Text) break;
            return std::string(conversion.hasPrecision ? CutText(arg.Text(), conversion.precision) : arg.Text());
        default:
            break;
    }
    Mismatch(pattern);
}

}  // namespace

std::string FormatList(std::string_view pattern, std::span<const FormatArg> args) {
    std::string result;
    result.reserve(pattern.size() + 16 * args.size());
    size_t nextArg = 0;
    size_t i = 0;
    while (i < pattern.size()) {
        size_t percent = pattern.find('%', i);
        if (percent == std::string_view::npos) {
            result.append(pattern.substr(i));
            break;
        }
        result.append(pattern.substr(i, percent - i));
        i = percent + 1;
        if (i < pattern.size() && pattern[i] == '%') {
            result += '%';
            ++i;
            continue;
        }
        Conversion conversion = ReadConversion(pattern, i);
        if (nextArg >= args.size()) Mismatch(pattern);
        std::string field = Convert(pattern, conversion, args[nextArg++]);
        size_t padding = conversion.width > field.size() ? conversion.width - field.size() : 0;
        if (!conversion.leftAligned) result.append(padding, ' ');
        result += field;
        if (conversion.leftAligned) result.append(padding, ' ');
    }
    if (nextArg != args.size()) Mismatch(pattern);
    return result;
}

}  // namespace runtime
