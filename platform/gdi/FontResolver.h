#pragma once
// Which font file draws a face name. The program asks for Windows faces; fontconfig alone maps "ＭＳ Ｐゴシック" to
// a Latin face that shows boxes, so the Japanese faces are looked for by the installed Japanese families with the
// Japanese language, and the Latin ones by the sans, serif or monospace families. Results are cached.

#include <optional>
#include <string>

#include "platform/win32.h"

namespace platform::gdi {

struct FontFile {
    std::string path;
    int index = 0;  // the face within a collection
    std::string family;
    bool bold = false;                                // the file itself is bold, so no bold needs to be made up
    bool italic = false;                              // the file itself is italic or oblique
    BYTE pitchAndFamily = VARIABLE_PITCH | FF_SWISS;  // as TEXTMETRICA reports it
};

// Nothing only when no font at all is installed.
std::optional<FontFile> ResolveFace(const LOGFONTA& font);
// A file that has the character, for characters missing from the face; Japanese faces are preferred.
std::optional<FontFile> FallbackFor(char32_t c);
// The face name as the lookup compares it: full-width Latin letters and spaces folded, spaces dropped, lower case.
std::string NormalizedFaceName(const char* face);

}  // namespace platform::gdi
