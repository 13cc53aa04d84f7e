#pragma once
// The one rule by which text becomes a 32-bit signed integer everywhere in the program:
// - blanks (0x20 only, not tabs) before the number are skipped;
// - "-" or "+" is followed at once by decimal digits; "$", "x", "X", "0x" or "0X" by hexadecimal digits, at
//   least one, and a hexadecimal number has no sign; anything else is decimal digits, at least one ("007" is 7);
// - decimal values run from -2147483648 to 2147483647; hexadecimal takes up to 8 significant digits as a
//   two's-complement word ($FFFFFFFF is -1);
// - any other byte, a blank after the number included, makes the text invalid.

#include <cstdint>
#include <string>
#include <string_view>

// True and the value when text is a valid integer; false, with value untouched, when not.
bool TryTextToInt(std::string_view text, int32_t& value);

// Decimal text: "-" for negative values, no "+", no leading zeros, no blanks. It always reads back equal.
std::string IntToText(int32_t value);
