#include "framework/LayoutProperties.h"

#include "runtime/Exception.h"

TColor ReadColor(const TLayoutValue& value) {
    if (value.IsNumber()) return value.Integer();
    TColor color = 0;
    if (!IdentToColor(value.Text(), color)) throw EConvertError(Msg::SLayoutValue, value.Describe(), "colour");
    return color;
}

int ReadEnumeration(const TLayoutValue& value, std::initializer_list<std::string_view> names) {
    std::string text = value.Text();
    int index = 0;
    for (std::string_view name : names) {
        if (name == text) return index;
        ++index;
    }
    throw EConvertError(Msg::SLayoutValue, value.Describe(), "enumeration");
}

void ReadFont(TFont& font, const TLayoutValue& value) {
    for (const auto& [name, member] : value.Members()) {
        if (name == "Name") font.SetName(member.Text());
        else if (name == "Height") font.SetHeight(member.Integer());
        else if (name == "Size") font.SetSize(member.Integer());
        else if (name == "Color") font.SetColor(ReadColor(member));
        else if (name == "Charset") {
            if (member.IsNumber()) {
                font.SetCharset(static_cast<TFontCharset>(member.Integer()));
            } else {
                static constexpr std::pair<std::string_view, TFontCharset> kCharsets[] = {
                    {"ANSI_CHARSET", ANSI_CHARSET}, {"DEFAULT_CHARSET", DEFAULT_CHARSET},
                    {"SHIFTJIS_CHARSET", SHIFTJIS_CHARSET}, {"SYMBOL_CHARSET", SYMBOL_CHARSET}};
                bool known = false;
                for (auto [charsetName, charset] : kCharsets)
                    if (member.Text() == charsetName) {
                        font.SetCharset(charset);
                        known = true;
                    }
                if (!known) throw EConvertError(Msg::SLayoutValue, member.Describe(), "character set");
            }
        } else if (name == "Style") {
            TFontStyles styles;
            for (const TLayoutValue& item : member.Items())
                styles.Include(static_cast<TFontStyle>(ReadEnumeration(item, {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})));
            font.SetStyle(styles);
        } else {
            throw EConvertError(Msg::SLayoutValue, member.Describe(), name);
        }
    }
}
