#include "platform/kernel/Utf8.h"

namespace platform::kernel {

std::u32string DecodeUtf8(std::string_view text, std::vector<int>* bytes) {
    std::u32string out;
    out.reserve(text.size());
    if (bytes) bytes->clear();
    size_t i = 0;
    while (i < text.size()) {
        auto b0 = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t c = 0;
        unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
        if (b0 < 0x80)
            length = 1, c = b0;
        else if (b0 >= 0xC2 && b0 <= 0xDF)
            length = 2, c = b0 & 0x1F;
        else if (b0 >= 0xE0 && b0 <= 0xEF) {
            length = 3, c = b0 & 0x0F;
            if (b0 == 0xE0) low = 0xA0;
            if (b0 == 0xED) high = 0x9F;  // no surrogates
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            length = 4, c = b0 & 0x07;
            if (b0 == 0xF0) low = 0x90;
            if (b0 == 0xF4) high = 0x8F;
        }
        bool valid = length > 0 && i + static_cast<size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            auto b = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) valid = false;
            c = (c << 6) | (b & 0x3F);
        }
        if (!valid) c = 0xFFFD, length = 1;
        out.push_back(c);
        if (bytes) bytes->push_back(length);
        i += static_cast<size_t>(length);
    }
    return out;
}

}  // namespace platform::kernel
