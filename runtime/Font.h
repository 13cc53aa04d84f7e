#pragma once
// A font as a control or a canvas holds it: face name, height, colour, style, character set and pitch, and the
// platform font made from them on first use and kept until a property changes.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win32.h"
#include "runtime/Colors.h"
#include "runtime/GdiHandles.h"
#include "runtime/GraphicsObject.h"
#include "runtime/Set.h"

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;  // the platform's *_CHARSET values

class TFont : public TGraphicsObject {
  public:
    // Sizes in points are taken at this resolution, the screen's.
    static constexpr int32_t kPixelsPerInch = 96;

    // The program's own UI font: "ＭＳ Ｐゴシック", 12 pixels high, window text colour, Shift-JIS.
    TFont();
    ~TFont() override;

    // Takes every property of source (not its OnChange); raises OnChange once if anything differed.
    void Assign(const TFont& source);

    const std::string& Name() const { return name_; }
    void SetName(std::string_view value);
    // Negative: the character height in pixels, as the layouts give it; positive: the cell height.
    int32_t Height() const { return height_; }
    void SetHeight(int32_t value);
    // The character height in points, rounded (negative for a cell height); setting it sets Height to the
    // matching negative pixel height.
    int32_t Size() const;
    void SetSize(int32_t value);
    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles value);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset value);
    TFontPitch Pitch() const { return pitch_; }

    // The platform font, made on first use; it stays valid until a property other than Color changes. Raises
    // EOutOfResources when the platform cannot make it.
    HFONT Handle() const;

  protected:
    void Changed() override;

  private:
    std::string name_;
    int32_t height_;
    TColor color_;
    TFontStyles style_;
    TFontCharset charset_;
    TFontPitch pitch_;
    mutable runtime::GdiObject<HFONT> handle_;
};
