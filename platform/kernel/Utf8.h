#pragma once
// UTF-8 both ways: what the fonts, the profile reader, the text drawing and the file names share.

#include <string>
#include <string_view>
#include <vector>

namespace platform::kernel {

inline void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// A byte that starts no valid character becomes U+FFFD. `bytes`, when given, gets each character's length.
std::u32string DecodeUtf8(std::string_view text, std::vector<int>* bytes = nullptr);

}  // namespace platform::kernel
