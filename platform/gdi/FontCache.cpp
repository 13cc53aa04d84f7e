#include "platform/gdi/FontCache.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "platform/gdi/Objects.h"

namespace platform::gdi {

namespace {

constexpr int kDefaultPixelSize = 12;  // lfHeight 0: the size of the default GUI font
constexpr int kMaxPixelSize = 1024;
constexpr size_t kMaxGlyphsPerFace = 8192;

// What the font's tables say, in font units, before any size is chosen.
struct Design {
    int unitsPerEm = 1000;
    int winAscent = 800;
    int winDescent = 200;
    int lineGap = 0;  // beyond the hhea ascent and descent
    int hheaHeight = 1000;
    int averageWidth = 0;
    int maxAdvance = 1000;
    int underlinePosition = -100;  // centre of the line, below the baseline when negative
    int underlineThickness = 50;
    int strikeOutPosition = 300;
    bool fixedPitch = false;
};

int Scale(int64_t units, int pixelSize, int unitsPerEm) {
    return static_cast<int>((units * pixelSize + unitsPerEm / 2) / unitsPerEm);
}

}  // namespace

class FontFace {
  public:
    FontFace(FT_Library library, const std::string& path, int index, int pixelSize, bool embolden, bool oblique)
        : embolden_(embolden), oblique_(oblique) {
        if (FT_New_Face(library, path.c_str(), index, &face_) != 0) {
            face_ = nullptr;
            return;
        }
        if (pixelSize > 0 && FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
            FT_Done_Face(face_);
            face_ = nullptr;
        }
    }
    ~FontFace() {
        if (face_) FT_Done_Face(face_);
    }
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    bool Ok() const { return face_ != nullptr; }
    FT_Face Face() const { return face_; }
    bool Has(char32_t c) const { return face_ && FT_Get_Char_Index(face_, c) != 0; }

    Design ReadDesign() const {
        Design d;
        d.unitsPerEm = std::max<int>(16, face_->units_per_EM);
        d.hheaHeight = face_->ascender - face_->descender;
        d.lineGap = std::max(0, face_->height - d.hheaHeight);
        d.winAscent = face_->ascender;
        d.winDescent = -face_->descender;
        d.maxAdvance = face_->max_advance_width;
        d.underlinePosition = face_->underline_position;
        d.underlineThickness = face_->underline_thickness;
        d.fixedPitch = FT_IS_FIXED_WIDTH(face_);
        d.strikeOutPosition = d.unitsPerEm / 4;
        if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2))) {
            if (os2->usWinAscent + os2->usWinDescent > 0) {
                d.winAscent = os2->usWinAscent;
                d.winDescent = os2->usWinDescent;
            }
            d.averageWidth = os2->xAvgCharWidth;
            if (os2->yStrikeoutPosition > 0) d.strikeOutPosition = os2->yStrikeoutPosition;
        }
        if (d.winAscent + d.winDescent <= 0) d.winAscent = d.unitsPerEm * 4 / 5, d.winDescent = d.unitsPerEm / 5;
        return d;
    }

    const Glyph& GlyphOf(char32_t c) {
        auto found = glyphs_.find(c);
        if (found != glyphs_.end()) return found->second;
        if (glyphs_.size() >= kMaxGlyphsPerFace) glyphs_.clear();
        return glyphs_.emplace(c, Render(c)).first->second;
    }

  private:
    Glyph Render(char32_t c) const {
        Glyph glyph;
        if (FT_Load_Glyph(face_, FT_Get_Char_Index(face_, c), FT_LOAD_DEFAULT) != 0) return glyph;
        FT_GlyphSlot slot = face_->glyph;
        if (oblique_ && slot->format == FT_GLYPH_FORMAT_OUTLINE) FT_GlyphSlot_Oblique(slot);
        if (embolden_) FT_GlyphSlot_Embolden(slot);
        glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = static_cast<int>(bitmap.width);
        glyph.height = static_cast<int>(bitmap.rows);
        glyph.coverage.assign(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height), 0);
        for (int y = 0; y < glyph.height; ++y) {
            const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
            uint8_t* out = glyph.coverage.data() + static_cast<size_t>(y) * static_cast<size_t>(glyph.width);
            for (int x = 0; x < glyph.width; ++x) {
                switch (bitmap.pixel_mode) {
                    case FT_PIXEL_MODE_GRAY:
                        out[x] = static_cast<uint8_t>(row[x] * 255 / std::max<int>(1, bitmap.num_grays - 1));
                        break;
                    case FT_PIXEL_MODE_MONO: out[x] = (row[x / 8] & (0x80 >> (x % 8))) ? 255 : 0; break;
                    case FT_PIXEL_MODE_BGRA: out[x] = row[4 * x + 3]; break;
                    default: break;
                }
            }
        }
        return glyph;
    }

    FT_Face face_ = nullptr;
    bool embolden_;
    bool oblique_;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

namespace {

struct Library {
    FT_Library freetype = nullptr;
    std::map<std::tuple<std::string, int, int, bool, bool>, std::unique_ptr<FontFace>> faces;
    std::map<std::pair<std::string, int>, Design> designs;
    std::map<std::string, std::unique_ptr<FontInstance>> instances;

    Library() {
        if (FT_Init_FreeType(&freetype) != 0) freetype = nullptr;
    }
    ~Library() {
        instances.clear();  // they point at the faces
        faces.clear();
        if (freetype) FT_Done_FreeType(freetype);
    }

    // nullptr when the file cannot be opened at that size.
    FontFace* Face(const std::string& path, int index, int pixelSize, bool embolden, bool oblique) {
        if (!freetype) return nullptr;
        auto key = std::make_tuple(path, index, pixelSize, embolden, oblique);
        auto found = faces.find(key);
        if (found == faces.end())
            found = faces.emplace(key, std::make_unique<FontFace>(freetype, path, index, pixelSize, embolden, oblique))
                        .first;
        return found->second->Ok() ? found->second.get() : nullptr;
    }

    std::optional<Design> DesignOf(const std::string& path, int index) {
        auto key = std::make_pair(path, index);
        auto found = designs.find(key);
        if (found != designs.end()) return found->second;
        FontFace* face = Face(path, index, 0, false, false);
        if (!face) return std::nullopt;
        Design design = face->ReadDesign();
        designs.emplace(key, design);
        return design;
    }
};

Library& Fonts() {
    static Library library;
    return library;
}

}  // namespace

FontInstance::FontInstance(const LOGFONTA& font, std::optional<FontFile> file) : logFont_(font) {
    Library& fonts = Fonts();
    std::optional<Design> design = file ? fonts.DesignOf(file->path, file->index) : std::nullopt;
    Design d = design.value_or(Design{});
    int64_t cell = d.winAscent + d.winDescent;
    int64_t size = font.lfHeight < 0   ? -int64_t{font.lfHeight}
                   : font.lfHeight > 0 ? (int64_t{font.lfHeight} * d.unitsPerEm + cell / 2) / cell
                                       : kDefaultPixelSize;
    pixelSize_ = static_cast<int>(std::clamp<int64_t>(size, 1, kMaxPixelSize));
    bold_ = font.lfWeight >= FW_SEMIBOLD;
    italic_ = font.lfItalic != 0;
    if (design) {
        primary_ = fonts.Face(file->path, file->index, pixelSize_, bold_ && !file->bold, italic_ && !file->italic);
        family_ = file->family;
        file_ = file->path;
    }

    TEXTMETRICA& m = metrics_;
    m.tmAscent = Scale(d.winAscent, pixelSize_, d.unitsPerEm);
    m.tmDescent = Scale(d.winDescent, pixelSize_, d.unitsPerEm);
    m.tmHeight = m.tmAscent + m.tmDescent;
    m.tmInternalLeading = std::max(0, static_cast<int>(m.tmHeight) - pixelSize_);
    m.tmExternalLeading = std::max(0, Scale(d.hheaHeight + d.lineGap - cell, pixelSize_, d.unitsPerEm));
    m.tmAveCharWidth = d.averageWidth > 0 ? Scale(d.averageWidth, pixelSize_, d.unitsPerEm) : GlyphOf('x').advance;
    m.tmMaxCharWidth = Scale(d.maxAdvance, pixelSize_, d.unitsPerEm);
    m.tmWeight = font.lfWeight > 0 ? font.lfWeight : FW_NORMAL;
    m.tmDigitizedAspectX = m.tmDigitizedAspectY = 96;
    m.tmFirstChar = 0x1E;
    m.tmLastChar = 0xFF;
    m.tmDefaultChar = 0x1F;
    m.tmBreakChar = 0x20;
    m.tmItalic = font.lfItalic ? 0xFF : 0;
    m.tmUnderlined = font.lfUnderline ? 0xFF : 0;
    m.tmStruckOut = font.lfStrikeOut ? 0xFF : 0;
    BYTE familyBits = file ? (file->pitchAndFamily & 0xF0) : FF_SWISS;
    m.tmPitchAndFamily =
        static_cast<BYTE>((d.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE | familyBits);
    m.tmCharSet = font.lfCharSet != DEFAULT_CHARSET ? font.lfCharSet : FaceHas(U'あ') ? SHIFTJIS_CHARSET : ANSI_CHARSET;
    lineThickness_ = std::max(1, Scale(d.underlineThickness, pixelSize_, d.unitsPerEm));
    underlineOffset_ = std::max(1, Scale(-d.underlinePosition, pixelSize_, d.unitsPerEm) - lineThickness_ / 2);
    strikeOutOffset_ = std::max(1, Scale(d.strikeOutPosition, pixelSize_, d.unitsPerEm));
    blank_.advance = std::max(1, pixelSize_ / 2);
}

FontInstance::~FontInstance() = default;

bool FontInstance::FaceHas(char32_t c) const { return primary_ && primary_->Has(c); }

FontFace* FontInstance::FaceFor(char32_t c) {
    if (!primary_ || primary_->Has(c)) return primary_;
    auto found = faceFor_.find(c);
    if (found != faceFor_.end()) return found->second;
    FontFace* face = primary_;  // when no face has it, the chosen face's own mark for a missing glyph
    if (std::optional<FontFile> file = FallbackFor(c)) {
        FontFace* other =
            Fonts().Face(file->path, file->index, pixelSize_, bold_ && !file->bold, italic_ && !file->italic);
        if (other && other->Has(c)) face = other;
    }
    if (faceFor_.size() > 65536) faceFor_.clear();
    faceFor_.emplace(c, face);
    return face;
}

const Glyph& FontInstance::GlyphOf(char32_t c) {
    if (c < 0x20 || c == 0x7F) return empty_;  // control characters take no room
    FontFace* face = FaceFor(c);
    if (!face) return blank_;
    return face->GlyphOf(c);
}

FontInstance& InstanceFor(const LOGFONTA& font) {
    std::string key(reinterpret_cast<const char*>(&font), offsetof(LOGFONTA, lfFaceName));
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, font.lfFaceName, LF_FACESIZE);
    key += NormalizedFaceName(face);
    auto& instances = Fonts().instances;
    auto found = instances.find(key);
    if (found == instances.end())
        found = instances.emplace(key, std::make_unique<FontInstance>(font, ResolveFace(font))).first;
    return *found->second;
}

FontInstance& FontOf(const DcObject& dc) {
    auto* font = FindInState<FontObject>(dc.state.font);
    if (!font) font = FindInState<FontObject>(GetStockObject(SYSTEM_FONT));
    if (!font->instance) font->instance = &InstanceFor(font->logFont);
    return *font->instance;
}

}  // namespace platform::gdi
