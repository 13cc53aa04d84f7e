#include "platform/gdi/FontResolver.h"

#include <fontconfig/fontconfig.h>

#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/gdi/Text.h"

namespace platform::gdi {

namespace {

enum class FaceClass { JapaneseGothicP, JapaneseGothic, JapaneseMinchoP, JapaneseMincho, Sans, Serif, Mono };

struct ClassInfo {
    std::vector<const char*> families;  // tried in order; the first installed one wins
    const char* generic;                // fontconfig's generic family when none is installed
    bool japanese;
    BYTE pitchAndFamily;
};

const ClassInfo& InfoOf(FaceClass kind) {
    static const std::map<FaceClass, ClassInfo> info = {
        {FaceClass::JapaneseGothicP,
         {{"IPAPGothic", "IPA Pゴシック", "IPAexGothic", "VL PGothic", "TakaoPGothic", "Noto Sans CJK JP",
           "Source Han Sans JP"},
          "sans-serif", true, VARIABLE_PITCH | FF_SWISS}},
        {FaceClass::JapaneseGothic,
         {{"IPAGothic", "IPAゴシック", "TakaoGothic", "VL Gothic", "Noto Sans Mono CJK JP"}, "monospace", true,
          FIXED_PITCH | FF_MODERN}},
        // Without a mincho installed, the gothic of the same pitch is nearer than whatever "serif" gives.
        {FaceClass::JapaneseMinchoP,
         {{"IPAPMincho", "IPA P明朝", "IPAexMincho", "TakaoPMincho", "Noto Serif CJK JP", "IPAPGothic", "IPAexGothic",
           "VL PGothic", "TakaoPGothic", "Noto Sans CJK JP"},
          "serif", true, VARIABLE_PITCH | FF_ROMAN}},
        {FaceClass::JapaneseMincho,
         {{"IPAMincho", "IPA明朝", "TakaoMincho", "Noto Serif CJK JP", "IPAGothic", "TakaoGothic", "VL Gothic"},
          "serif", true, FIXED_PITCH | FF_ROMAN}},
        {FaceClass::Sans,
         {{"Liberation Sans", "DejaVu Sans", "Noto Sans", "FreeSans"}, "sans-serif", false, VARIABLE_PITCH | FF_SWISS}},
        {FaceClass::Serif,
         {{"Liberation Serif", "DejaVu Serif", "Noto Serif", "FreeSerif"}, "serif", false, VARIABLE_PITCH | FF_ROMAN}},
        {FaceClass::Mono,
         {{"Liberation Mono", "DejaVu Sans Mono", "Noto Sans Mono", "FreeMono"}, "monospace", false,
          FIXED_PITCH | FF_MODERN}},
    };
    return info.at(kind);
}

// The Windows faces the program may name, by their normalised names.
std::optional<FaceClass> KnownFace(const std::string& name) {
    static const std::map<std::string, FaceClass> faces = {
        {"mspゴシック", FaceClass::JapaneseGothicP}, {"mspgothic", FaceClass::JapaneseGothicP},
        {"msuigothic", FaceClass::JapaneseGothicP}, {"メイリオ", FaceClass::JapaneseGothicP},
        {"meiryo", FaceClass::JapaneseGothicP},     {"meiryoui", FaceClass::JapaneseGothicP},
        {"system", FaceClass::JapaneseGothicP},     {"msshelldlg", FaceClass::JapaneseGothicP},
        {"msshelldlg2", FaceClass::JapaneseGothicP},
        {"msゴシック", FaceClass::JapaneseGothic},  {"msgothic", FaceClass::JapaneseGothic},
        {"msp明朝", FaceClass::JapaneseMinchoP},    {"mspmincho", FaceClass::JapaneseMinchoP},
        {"ms明朝", FaceClass::JapaneseMincho},      {"msmincho", FaceClass::JapaneseMincho},
        {"mssansserif", FaceClass::Sans},           {"microsoftsansserif", FaceClass::Sans},
        {"arial", FaceClass::Sans},                 {"tahoma", FaceClass::Sans},
        {"verdana", FaceClass::Sans},               {"segoeui", FaceClass::Sans},
        {"helvetica", FaceClass::Sans},             {"smallfonts", FaceClass::Sans},
        {"timesnewroman", FaceClass::Serif},        {"msserif", FaceClass::Serif},
        {"times", FaceClass::Serif},                {"georgia", FaceClass::Serif},
        {"couriernew", FaceClass::Mono},            {"courier", FaceClass::Mono},
        {"lucidaconsole", FaceClass::Mono},         {"consolas", FaceClass::Mono},
        {"fixedsys", FaceClass::Mono},              {"terminal", FaceClass::Mono},
    };
    auto found = faces.find(name);
    return found == faces.end() ? std::nullopt : std::optional<FaceClass>(found->second);
}

// A face the table does not know: by the character set and the pitch and family it asks for. A Japanese system
// draws an unnamed face of the default character set in its Japanese gothic.
FaceClass GuessClass(const LOGFONTA& font, bool nonAsciiName) {
    bool fixed = (font.lfPitchAndFamily & 0x3) == FIXED_PITCH || (font.lfPitchAndFamily & 0xF0) == FF_MODERN;
    bool japanese = font.lfCharSet == SHIFTJIS_CHARSET || nonAsciiName ||
                    (font.lfCharSet == DEFAULT_CHARSET && font.lfFaceName[0] == '\0');
    if (japanese) return fixed ? FaceClass::JapaneseGothic : FaceClass::JapaneseGothicP;
    if (fixed) return FaceClass::Mono;
    if ((font.lfPitchAndFamily & 0xF0) == FF_ROMAN) return FaceClass::Serif;
    return FaceClass::Sans;
}

bool SameFamily(const char* a, const char* b) { return NormalizedFaceName(a) == NormalizedFaceName(b); }

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

// Fontconfig's own state lives from the first lookup to the end of the program. It is made before, and so
// outlives, every cached fontconfig object here, and is released at exit so that leak checkers see no leak.
struct Fontconfig {
    Fontconfig() { FcInit(); }
    ~Fontconfig() { FcFini(); }
};

void Initialise() { static const Fontconfig fontconfig; }

FontFile FileOf(FcPattern* match, BYTE pitchAndFamily) {
    FontFile file;
    FcChar8* text = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &text) == FcResultMatch) file.path = reinterpret_cast<char*>(text);
    if (FcPatternGetString(match, FC_FAMILY, 0, &text) == FcResultMatch) file.family = reinterpret_cast<char*>(text);
    int value = 0;
    if (FcPatternGetInteger(match, FC_INDEX, 0, &value) == FcResultMatch) file.index = value;
    if (FcPatternGetInteger(match, FC_WEIGHT, 0, &value) == FcResultMatch) file.bold = value >= FC_WEIGHT_DEMIBOLD;
    if (FcPatternGetInteger(match, FC_SLANT, 0, &value) == FcResultMatch) file.italic = value != FC_SLANT_ROMAN;
    file.pitchAndFamily = pitchAndFamily;
    return file;
}

// The best file of a family; with `exact`, only when the family itself is installed (not a substitute).
std::optional<FontFile> Match(const char* family, bool exact, int weight, bool italic, bool japanese,
                              BYTE pitchAndFamily) {
    Pattern pattern(FcPatternCreate());
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FcWeightFromOpenType(weight > 0 ? weight : FW_NORMAL));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (japanese) FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match) return std::nullopt;
    if (exact) {
        bool found = false;
        FcChar8* name = nullptr;
        for (int i = 0; !found && FcPatternGetString(match.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i)
            found = SameFamily(reinterpret_cast<char*>(name), family);
        if (!found) return std::nullopt;
    }
    FontFile file = FileOf(match.get(), pitchAndFamily);
    if (file.path.empty()) return std::nullopt;
    return file;
}

std::optional<FontFile> Resolve(const LOGFONTA& font) {
    Initialise();
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, font.lfFaceName, LF_FACESIZE);
    std::string name = NormalizedFaceName(face);
    bool nonAscii = false;
    for (char c : name) nonAscii |= static_cast<unsigned char>(c) >= 0x80;
    std::optional<FaceClass> known = KnownFace(name);
    const ClassInfo& info = InfoOf(known ? *known : GuessClass(font, nonAscii));
    bool italic = font.lfItalic != 0;
    // A face the table does not know may be an installed family itself ("IPAPGothic", "DejaVu Sans").
    if (!known && !name.empty()) {
        if (auto file = Match(face, true, font.lfWeight, italic, info.japanese, info.pitchAndFamily)) return file;
    }
    for (const char* family : info.families) {
        if (auto file = Match(family, true, font.lfWeight, italic, info.japanese, info.pitchAndFamily)) return file;
    }
    return Match(info.generic, false, font.lfWeight, italic, info.japanese, info.pitchAndFamily);
}

}  // namespace

std::string NormalizedFaceName(const char* face) {
    std::u32string chars = DecodeUtf8(face);
    std::string out;
    for (char32_t c : chars) {
        if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;  // full-width Latin to ASCII
        if (c == 0x3000 || c == ' ' || c == '\t') continue;
        if (c >= 'A' && c <= 'Z') c += 'a' - 'A';
        AppendUtf8(out, c);
    }
    return out;
}

std::optional<FontFile> ResolveFace(const LOGFONTA& font) {
    // Keyed by everything that takes part in the choice.
    char face[LF_FACESIZE + 1] = {};
    std::memcpy(face, font.lfFaceName, LF_FACESIZE);
    std::string key = NormalizedFaceName(face) + '\x01' + std::to_string(font.lfWeight >= FW_SEMIBOLD) +
                      std::to_string(font.lfItalic != 0) + '\x01' + std::to_string(font.lfCharSet) + '\x01' +
                      std::to_string(font.lfPitchAndFamily);
    static std::unordered_map<std::string, std::optional<FontFile>> cache;
    auto found = cache.find(key);
    if (found != cache.end()) return found->second;
    std::optional<FontFile> file = Resolve(font);
    cache.emplace(key, file);
    return file;
}

std::optional<FontFile> FallbackFor(char32_t c) {
    Initialise();
    struct FontSetDeleter {
        void operator()(FcFontSet* s) const { FcFontSetDestroy(s); }
    };
    static const std::unique_ptr<FcFontSet, FontSetDeleter> fonts = [] {
        Pattern pattern(FcPatternCreate());
        FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
        FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
        FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
        FcDefaultSubstitute(pattern.get());
        FcResult result;
        return std::unique_ptr<FcFontSet, FontSetDeleter>(FcFontSort(nullptr, pattern.get(), FcTrue, nullptr, &result));
    }();
    static std::unordered_map<char32_t, int> chosen;  // the font of the set for each character asked for
    if (!fonts) return std::nullopt;
    auto found = chosen.find(c);
    int index = -1;
    if (found != chosen.end()) {
        index = found->second;
    } else {
        for (int i = 0; i < fonts->nfont && index < 0; ++i) {
            FcCharSet* charset = nullptr;
            if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &charset) == FcResultMatch &&
                FcCharSetHasChar(charset, c))
                index = i;
        }
        if (chosen.size() > 65536) chosen.clear();  // text of every script at once: start over rather than grow
        chosen.emplace(c, index);
    }
    if (index < 0) return std::nullopt;
    FontFile file = FileOf(fonts->fonts[index], VARIABLE_PITCH | FF_SWISS);
    if (file.path.empty()) return std::nullopt;
    return file;
}

}  // namespace platform::gdi
