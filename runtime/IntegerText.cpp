#include "runtime/IntegerText.h"

#include "runtime/Exception.h"

namespace {

// Limits that the value so far must not exceed before one more digit is taken in.
constexpr uint32_t kDecimalLimit = 214748364;
constexpr uint32_t kHexLimit = 0x0FFFFFFF;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool ReadHex(std::string_view digits, int32_t& value) {
    if (digits.empty()) return false;
    uint32_t result = 0;
    for (char c : digits) {
        int digit = HexDigit(c);
        if (digit < 0 || result > kHexLimit) return false;
        result = result * 16 + static_cast<uint32_t>(digit);
    }
    value = static_cast<int32_t>(result);
    return true;
}

bool ReadDecimal(std::string_view digits, bool negative, int32_t& value) {
    if (digits.empty()) return false;
    uint32_t magnitude = 0;
    for (char c : digits) {
        if (c < '0' || c > '9' || magnitude > kDecimalLimit) return false;
        magnitude = magnitude * 10 + static_cast<uint32_t>(c - '0');
    }
    if (magnitude > (negative ? 2147483648u : 2147483647u)) return false;
    value = negative ? static_cast<int32_t>(0u - magnitude) : static_cast<int32_t>(magnitude);
    return true;
}

}  // namespace

bool TryTextToInt(std::string_view text, int32_t& value) {
    size_t i = text.find_first_not_of(' ');
    if (i == std::string_view::npos) return false;
    std::string_view rest = text.substr(i);
    char first = rest[0];
    if (first == '-' || first == '+') return ReadDecimal(rest.substr(1), first == '-', value);
    if (first == '$' || first == 'x' || first == 'X') return ReadHex(rest.substr(1), value);
    if (first == '0' && rest.size() > 1 && (rest[1] == 'x' || rest[1] == 'X')) return ReadHex(rest.substr(2), value);
    return ReadDecimal(rest, false, value);
}

std::string IntToText(int32_t value) { return Format("%d", value); }
