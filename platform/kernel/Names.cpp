#include "platform/kernel/Names.h"

#include "platform/kernel/Utf8.h"

namespace platform::kernel {
namespace {

constexpr char32_t kCarried = 0xF000;  // U+F000 plus the byte's code

bool MustBeCarried(unsigned char c) { return c < 0x20 || c == '\\'; }

// The byte a private-use character carries, or -1 when it carries none.
int CarriedByte(char32_t c) {
    if (c < kCarried || c > kCarried + 0x7F) return -1;
    auto byte = static_cast<unsigned char>(c - kCarried);
    return MustBeCarried(byte) ? byte : -1;
}

}  // namespace

bool NeedsCarrying(std::string_view posixName) {
    for (char c : posixName)
        if (MustBeCarried(static_cast<unsigned char>(c))) return true;
    return false;
}

std::string WindowsNameOf(std::string_view posixName) {
    std::string name;
    name.reserve(posixName.size());
    for (char c : posixName) {
        if (MustBeCarried(static_cast<unsigned char>(c))) AppendUtf8(name, kCarried + static_cast<unsigned char>(c));
        else name += c;
    }
    return name;
}

std::string PosixNameOf(std::string_view windowsName) {
    // Every carried character is three bytes starting with 0xEF; a name without that byte is its own.
    if (windowsName.find('\xEF') == std::string_view::npos) return std::string(windowsName);
    std::string name;
    name.reserve(windowsName.size());
    std::vector<int> lengths;
    std::u32string chars = DecodeUtf8(windowsName, &lengths);
    size_t at = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        const auto length = static_cast<size_t>(lengths[i]);
        if (int byte = CarriedByte(chars[i]); byte >= 0) name += static_cast<char>(byte);
        else name.append(windowsName.substr(at, length));
        at += length;
    }
    return name;
}

char32_t ShownCharacter(char32_t c) {
    const int byte = CarriedByte(c);
    if (byte < 0) return c;
    return byte == '\\' ? U'\\' : 0x2400 + static_cast<char32_t>(byte);  // the control pictures
}

std::string ShownText(std::string_view text, bool keepControls) {
    std::string shown;
    shown.reserve(text.size());
    for (char32_t c : DecodeUtf8(text)) {
        const int byte = CarriedByte(c);
        AppendUtf8(shown, keepControls && byte >= 0 ? static_cast<char32_t>(byte) : ShownCharacter(c));
    }
    return shown;
}

}  // namespace platform::kernel
