#include "platform/kernel/ProfileEncoding.h"

#include "platform/kernel/Utf8.h"

namespace platform::kernel {
namespace {

constexpr char32_t kByteOrderMark = 0xFEFF;
constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kLastCodePoint = 0x10FFFF;

struct Units {
    size_t size;  // bytes per code unit, and of the mark
    bool bigEndian;
};

Units UnitsOf(ProfileEncoding encoding) {
    switch (encoding) {
        case ProfileEncoding::Utf16LittleEndian: return {2, false};
        case ProfileEncoding::Utf16BigEndian: return {2, true};
        case ProfileEncoding::Utf32LittleEndian: return {4, false};
        case ProfileEncoding::Utf32BigEndian: return {4, true};
        case ProfileEncoding::Bytes: break;
    }
    return {1, false};
}

// UTF-32's little-endian mark begins with UTF-16's, so it is looked for first. A UTF-16 file whose text began with
// U+0000 would be taken for UTF-32, which no profile file does.
ProfileEncoding EncodingOf(std::string_view file) {
    if (file.starts_with(std::string_view("\xFF\xFE\0\0", 4))) return ProfileEncoding::Utf32LittleEndian;
    if (file.starts_with(std::string_view("\0\0\xFE\xFF", 4))) return ProfileEncoding::Utf32BigEndian;
    if (file.starts_with("\xFF\xFE")) return ProfileEncoding::Utf16LittleEndian;
    if (file.starts_with("\xFE\xFF")) return ProfileEncoding::Utf16BigEndian;
    return ProfileEncoding::Bytes;
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

char32_t ReadUnit(const char* bytes, Units units) {
    char32_t unit = 0;
    for (size_t i = 0; i < units.size; ++i) {
        auto byte = static_cast<unsigned char>(bytes[units.bigEndian ? i : units.size - 1 - i]);
        unit = (unit << 8) | byte;
    }
    return unit;
}

void AppendUnit(std::string& file, char32_t unit, Units units) {
    for (size_t i = 0; i < units.size; ++i) {
        size_t shift = 8 * (units.bigEndian ? units.size - 1 - i : i);
        file += static_cast<char>((unit >> shift) & 0xFF);
    }
}

// The code point that starts at `at`, which then moves past it. Only the shortest form of a Unicode scalar value
// is one: an overlong form, a surrogate or a cut-off sequence has no UTF-16 or UTF-32 form to write.
bool ReadUtf8(std::string_view text, size_t& at, char32_t& c) {
    auto lead = static_cast<unsigned char>(text[at]);
    size_t length = 0;
    if (lead < 0x80)
        length = 1;
    else if ((lead & 0xE0) == 0xC0)
        length = 2;
    else if ((lead & 0xF0) == 0xE0)
        length = 3;
    else if ((lead & 0xF8) == 0xF0)
        length = 4;
    if (length == 0 || text.size() - at < length) return false;
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    c = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return false;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < kSmallest[length] || c > kLastCodePoint || IsSurrogate(c)) return false;
    at += length;
    return true;
}

}  // namespace

ProfileContent DecodeProfile(std::string_view file) {
    ProfileContent content;
    content.encoding = EncodingOf(file);
    if (content.encoding == ProfileEncoding::Bytes) {
        content.text = file;
        return content;
    }
    Units units = UnitsOf(content.encoding);
    std::string_view body = file.substr(units.size);
    size_t count = body.size() / units.size;
    content.text.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        char32_t c = ReadUnit(body.data() + i * units.size, units);
        if (IsHighSurrogate(c) && units.size == 2 && i + 1 < count) {
            char32_t low = ReadUnit(body.data() + (i + 1) * units.size, units);
            if (IsLowSurrogate(low)) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (IsSurrogate(c) || c > kLastCodePoint) {
            c = kReplacement;
            content.exact = false;
        }
        AppendUtf8(content.text, c);
    }
    if (body.size() % units.size != 0) {
        AppendUtf8(content.text, kReplacement);
        content.exact = false;
    }
    return content;
}

std::optional<std::string> EncodeProfile(std::string_view text, ProfileEncoding encoding) {
    if (encoding == ProfileEncoding::Bytes) return std::string(text);
    Units units = UnitsOf(encoding);
    std::string file;
    file.reserve((text.size() + 1) * units.size);
    AppendUnit(file, kByteOrderMark, units);
    for (size_t at = 0; at < text.size();) {
        char32_t c = 0;
        if (!ReadUtf8(text, at, c)) return std::nullopt;
        if (units.size == 2 && c >= 0x10000) {
            AppendUnit(file, 0xD800 + ((c - 0x10000) >> 10), units);
            AppendUnit(file, 0xDC00 + ((c - 0x10000) & 0x3FF), units);
        } else {
            AppendUnit(file, c, units);
        }
    }
    return file;
}

}  // namespace platform::kernel
