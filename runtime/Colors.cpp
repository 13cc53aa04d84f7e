#include "runtime/Colors.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace {

struct NamedColor {
    TColor color;
    std::string_view name;
};

constexpr std::array kNamedColors = {
    NamedColor{clBlack, "clBlack"},
    NamedColor{clMaroon, "clMaroon"},
    NamedColor{clGreen, "clGreen"},
    NamedColor{clOlive, "clOlive"},
    NamedColor{clNavy, "clNavy"},
    NamedColor{clPurple, "clPurple"},
    NamedColor{clTeal, "clTeal"},
    NamedColor{clGray, "clGray"},
    NamedColor{clSilver, "clSilver"},
    NamedColor{clRed, "clRed"},
    NamedColor{clLime, "clLime"},
    NamedColor{clYellow, "clYellow"},
    NamedColor{clBlue, "clBlue"},
    NamedColor{clFuchsia, "clFuchsia"},
    NamedColor{clAqua, "clAqua"},
    NamedColor{clWhite, "clWhite"},
    NamedColor{clNone, "clNone"},
    NamedColor{clDefault, "clDefault"},
    NamedColor{clScrollBar, "clScrollBar"},
    NamedColor{clBackground, "clBackground"},
    NamedColor{clActiveCaption, "clActiveCaption"},
    NamedColor{clInactiveCaption, "clInactiveCaption"},
    NamedColor{clMenu, "clMenu"},
    NamedColor{clWindow, "clWindow"},
    NamedColor{clWindowFrame, "clWindowFrame"},
    NamedColor{clMenuText, "clMenuText"},
    NamedColor{clWindowText, "clWindowText"},
    NamedColor{clCaptionText, "clCaptionText"},
    NamedColor{clActiveBorder, "clActiveBorder"},
    NamedColor{clInactiveBorder, "clInactiveBorder"},
    NamedColor{clAppWorkSpace, "clAppWorkSpace"},
    NamedColor{clHighlight, "clHighlight"},
    NamedColor{clHighlightText, "clHighlightText"},
    NamedColor{clBtnFace, "clBtnFace"},
    NamedColor{clBtnShadow, "clBtnShadow"},
    NamedColor{clGrayText, "clGrayText"},
    NamedColor{clBtnText, "clBtnText"},
    NamedColor{clInactiveCaptionText, "clInactiveCaptionText"},
    NamedColor{clBtnHighlight, "clBtnHighlight"},
    NamedColor{cl3DDkShadow, "cl3DDkShadow"},
    NamedColor{cl3DLight, "cl3DLight"},
    NamedColor{clInfoText, "clInfoText"},
    NamedColor{clInfoBk, "clInfoBk"},
};

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// The whole text as a number of the base, in range for its type; nothing else.
template <typename T>
bool WholeNumber(std::string_view text, int base, T& value) {
    if (text.empty() || text[0] == '+') return false;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

COLORREF ColorToRGB(TColor color) {
    auto bits = static_cast<uint32_t>(color);
    if (bits & 0x80000000u) return GetSysColor(static_cast<int>(bits & 0xFF));
    return bits & 0x00FFFFFFu;
}

bool IdentToColor(std::string_view ident, TColor& color) {
    for (const NamedColor& named : kNamedColors) {
        if (SameIgnoringCase(ident, named.name)) {
            color = named.color;
            return true;
        }
    }
    size_t prefix = ident.starts_with('$') ? 1 : ident.starts_with("0x") || ident.starts_with("0X") ? 2 : 0;
    if (prefix > 0) {
        std::string_view hex = ident.substr(prefix);
        uint32_t value = 0;
        if (hex.size() > 8 || hex.starts_with('-') || !WholeNumber(hex, 16, value)) return false;
        color = static_cast<TColor>(value);
        return true;
    }
    int32_t value = 0;
    if (!WholeNumber(ident, 10, value)) return false;
    color = value;
    return true;
}

bool ColorToIdent(TColor color, std::string& ident) {
    for (const NamedColor& named : kNamedColors) {
        if (named.color == color) {
            ident = named.name;
            return true;
        }
    }
    return false;
}

std::string ColorToString(TColor color) {
    std::string text;
    if (ColorToIdent(color, text)) return text;
    char hex[16];
    std::snprintf(hex, sizeof hex, "$%08X", static_cast<unsigned>(static_cast<uint32_t>(color)));
    return hex;
}
