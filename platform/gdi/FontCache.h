#pragma once
// Fonts realised at a pixel size with FreeType, their Windows metrics, and their glyphs, rendered once and kept.
// FreeType is used directly rather than through SDL_ttf because the metrics Windows reports (tmHeight from the
// OS/2 table's Windows ascent and descent) and glyph-by-glyph drawing with per-character fallback faces need the
// face itself, which SDL_ttf does not expose.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/FontResolver.h"
#include "platform/win32.h"

namespace platform::gdi {

struct Glyph {
    int left = 0;  // from the pen position to the bitmap's left edge
    int top = 0;   // from the baseline up to the bitmap's top edge
    int width = 0;
    int height = 0;
    int advance = 0;
    std::vector<uint8_t> coverage;  // width × height, 0 to 255
};

class FontFace;

// One LOGFONTA realised: its metrics and its glyphs, drawn from the chosen face or, for characters that face
// lacks, from a face that has them.
class FontInstance {
  public:
    FontInstance(const LOGFONTA& font, std::optional<FontFile> file);
    ~FontInstance();
    FontInstance(const FontInstance&) = delete;
    FontInstance& operator=(const FontInstance&) = delete;

    const TEXTMETRICA& Metrics() const { return metrics_; }
    const LOGFONTA& LogFont() const { return logFont_; }
    const Glyph& GlyphOf(char32_t c);
    // Pixels below the baseline to the underline's top, and its thickness; the strike-out line above the baseline.
    int UnderlineOffset() const { return underlineOffset_; }
    int LineThickness() const { return lineThickness_; }
    int StrikeOutOffset() const { return strikeOutOffset_; }
    // The face chosen for the font: its family and file, and whether it has a glyph of its own for c.
    const std::string& Family() const { return family_; }
    const std::string& File() const { return file_; }
    bool FaceHas(char32_t c) const;

  private:
    FontFace* FaceFor(char32_t c);

    LOGFONTA logFont_;
    TEXTMETRICA metrics_{};
    std::string family_;
    std::string file_;
    int pixelSize_ = 12;
    bool bold_ = false;
    bool italic_ = false;
    int underlineOffset_ = 1;
    int lineThickness_ = 1;
    int strikeOutOffset_ = 4;
    FontFace* primary_ = nullptr;
    std::unordered_map<char32_t, FontFace*> faceFor_;
    Glyph empty_;  // control characters
    Glyph blank_;  // every character when no font at all is installed: text still measures sensibly
};

// The instance for a LOGFONTA; instances are made once and kept for the life of the process.
FontInstance& InstanceFor(const LOGFONTA& font);
// The font selected into a DC (or the system font), realised.
struct DcObject;
FontInstance& FontOf(const DcObject& dc);

}  // namespace platform::gdi
