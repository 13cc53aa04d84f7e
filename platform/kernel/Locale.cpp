#include "platform/kernel/Locale.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32.h"

namespace platform::kernel {
namespace {

// Bytes that are not valid UTF-8 become code points above Unicode, so they sort after every real character and
// still compare deterministically.
constexpr char32_t kInvalidByteBase = 0x110000;

// C.UTF-8 gives the full Unicode case tables whatever locale the user's environment names, so the program's
// order does not change with LANG.
locale_t CaseLocale() {
    static locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return locale;
}

char32_t Decode(const char* s, size_t length) {
    auto b = static_cast<unsigned char>(s[0]);
    if (length == 1) return b < 0x80 ? b : kInvalidByteBase + b;
    char32_t c = b & (0xFF >> (length + 1));
    for (size_t i = 1; i < length; ++i) c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    return c;
}

size_t Encode(char32_t c, char* out) {
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

char32_t Lower(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= kInvalidByteBase) return c;
    return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), CaseLocale()));
}

char32_t Upper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= kInvalidByteBase) return c;
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), CaseLocale()));
}

// The order of ASCII punctuation in the user's locale, lowest first: blank and symbols come before digits, and
// "+<=>" after the other symbols. Hyphen and apostrophe are missing on purpose: they weigh nothing at first.
constexpr std::string_view kSymbolOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

struct Weighed {
    uint32_t primary;  // 0 means ignored at the first level
    bool upper;
    char32_t folded;
};

uint32_t PrimaryWeight(char32_t folded) {
    if (folded == '-' || folded == '\'') return 0;
    if (folded < 0x20 || folded == 0x7F) return 1 + folded;  // control characters first
    if (folded < 0x80) {
        if (folded >= '0' && folded <= '9') return 0x200 + (folded - '0');
        if (folded >= 'a' && folded <= 'z') return 0x300 + (folded - 'a');
        auto at = kSymbolOrder.find(static_cast<char>(folded));
        return 0x100 + static_cast<uint32_t>(at == std::string_view::npos ? 0xFF : at);
    }
    return 0x1000 + folded;  // beyond ASCII: code point order of the folded character
}

std::vector<Weighed> Weigh(std::string_view text) {
    std::vector<Weighed> out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        size_t n = CharacterLength(p, end);
        char32_t c = Decode(p, n);
        char32_t folded = Lower(c);
        out.push_back({PrimaryWeight(folded), folded != c, folded});
        p += n;
    }
    return out;
}

template <typename Key>
int CompareBy(const std::vector<Weighed>& a, const std::vector<Weighed>& b, Key key, bool skipIgnored) {
    size_t i = 0, j = 0;
    for (;;) {
        if (skipIgnored) {
            while (i < a.size() && a[i].primary == 0) ++i;
            while (j < b.size() && b[j].primary == 0) ++j;
        }
        if (i == a.size() || j == b.size()) return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
        auto ka = key(a[i]);
        auto kb = key(b[j]);
        if (ka != kb) return ka < kb ? -1 : 1;
        ++i;
        ++j;
    }
}

}  // namespace

size_t CharacterLength(const char* s, const char* end) {
    auto b = static_cast<unsigned char>(s[0]);
    size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (n <= 1 || static_cast<size_t>(end - s) < n) return 1;
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    char32_t c = Decode(s, n);
    // Overlong forms, surrogates and values beyond Unicode are not characters.
    bool overlong = (n == 2 && c < 0x80) || (n == 3 && c < 0x800) || (n == 4 && c < 0x10000);
    if (overlong || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return 1;
    return n;
}

int CompareLocaleText(std::string_view a, std::string_view b, bool ignoreCase) {
    // Every level compares the texts character by character, so a run of identical characters at the start
    // decides nothing: only what follows it is weighed. The run ends at a character boundary, the first byte that
    // continues no character in either text.
    auto continues = [](std::string_view text, size_t at) {
        return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    size_t same = 0;
    const size_t shorter = std::min(a.size(), b.size());
    while (same < shorter && a[same] == b[same]) ++same;
    while (same > 0 && (continues(a, same) || continues(b, same))) --same;
    a.remove_prefix(same);
    b.remove_prefix(same);

    // The common case next: where the texts differ in a blank, a dot, a digit or a letter, case aside, those two
    // characters alone decide (blank, dot, digits, letters), as the whole weighing below would find too. Sorting
    // a folder of file names compares each some 17 times.
    auto lower = [](char c) { return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); };
    auto plain = [](unsigned char c) { return c == ' ' || c == '.' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); };
    size_t sameFolded = 0;
    const size_t rest = std::min(a.size(), b.size());
    while (sameFolded < rest && lower(a[sameFolded]) < 0x80 && lower(a[sameFolded]) == lower(b[sameFolded])) ++sameFolded;
    if (sameFolded < rest && plain(lower(a[sameFolded])) && plain(lower(b[sameFolded])))
        return lower(a[sameFolded]) < lower(b[sameFolded]) ? -1 : 1;

    // Most other pairs differ at the first level: walk both texts a character at a time, without weighing them
    // whole, and weigh them whole only when that level finds them equal.
    {
        const char* p = a.data();
        const char* pe = p + a.size();
        const char* q = b.data();
        const char* qe = q + b.size();
        auto next = [](const char*& at, const char* end) -> uint32_t {
            while (at < end) {
                size_t n = CharacterLength(at, end);
                uint32_t weight = PrimaryWeight(Lower(Decode(at, n)));
                at += n;
                if (weight != 0) return weight;
            }
            return 0;  // the end
        };
        for (;;) {
            uint32_t wp = next(p, pe);
            uint32_t wq = next(q, qe);
            if (wp != wq) return wp < wq ? -1 : 1;
            if (wp == 0) break;
        }
    }

    auto wa = Weigh(a);
    auto wb = Weigh(b);
    if (!ignoreCase) {
        if (int r = CompareBy(wa, wb, [](const Weighed& w) { return w.upper; }, true)) return r;
    }
    if (int r = CompareBy(wa, wb, [](const Weighed& w) { return w.primary; }, false)) return r;
    if (int r = CompareBy(wa, wb, [](const Weighed& w) { return w.folded; }, false)) return r;
    if (ignoreCase) return 0;
    return CompareBy(wa, wb, [](const Weighed& w) { return w.upper; }, false);
}

namespace {

// One weight of a sort key, so that byte order is weight order and no byte is zero: small weights (every ASCII
// one) in two bytes, the rest in three, each above the end mark of a level.
constexpr char kLevelEnd = 0x01;

void PutWeight(std::string& key, uint32_t weight) {
    if (weight < 0xF00) {
        key += static_cast<char>(0x02 + weight / 0xFF);
        key += static_cast<char>(1 + weight % 0xFF);
        return;
    }
    const uint32_t rest = weight - 0xF00;
    key += static_cast<char>(0x20 + rest / (0xFF * 0xFF));
    key += static_cast<char>(1 + (rest / 0xFF) % 0xFF);
    key += static_cast<char>(1 + rest % 0xFF);
}

}  // namespace

std::string LocaleSortKey(std::string_view text, bool ignoreCase) {
    // The levels of CompareLocaleText in its order, each closed by its end mark, so that two keys compare byte by
    // byte as their texts compare: first weights without the ignored characters, then (with case) the case of
    // those, then every weight, every folded character, and (with case) the case of every character.
    const std::vector<Weighed> weighed = Weigh(text);
    std::string key;
    key.reserve(weighed.size() * 9 + 6);
    for (const Weighed& w : weighed)
        if (w.primary) PutWeight(key, w.primary);
    key += kLevelEnd;
    auto putCase = [&](bool skipIgnored) {
        for (const Weighed& w : weighed)
            if (w.primary || !skipIgnored) key += static_cast<char>(w.upper ? 0x03 : 0x02);
        key += kLevelEnd;
    };
    if (!ignoreCase) putCase(true);
    for (const Weighed& w : weighed) PutWeight(key, w.primary);
    key += kLevelEnd;
    for (const Weighed& w : weighed) PutWeight(key, w.folded);
    key += kLevelEnd;
    if (!ignoreCase) putCase(false);
    return key;
}

std::u32string FoldedCharacters(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        size_t n = CharacterLength(p, end);
        out.push_back(Lower(Decode(p, n)));
        p += n;
    }
    return out;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) { return CompareLocaleText(a, b, true) == 0; }

static void MapCaseInPlace(char* text, size_t length, char32_t (*map)(char32_t)) {
    char* p = text;
    char* end = text + length;
    while (p < end) {
        size_t n = CharacterLength(p, end);
        char32_t c = Decode(p, n);
        char32_t mapped = map(c);
        if (mapped != c) {
            char buffer[4];
            if (Encode(mapped, buffer) == n) std::memcpy(p, buffer, n);
        }
        p += n;
    }
}

void LowerCaseInPlace(char* text, size_t length) { MapCaseInPlace(text, length, Lower); }

void UpperCaseInPlace(char* text, size_t length) { MapCaseInPlace(text, length, Upper); }

}  // namespace platform::kernel

using platform::kernel::CharacterLength;

UINT WINAPI GetACP() { return CP_UTF8; }

// UTF-8 has no lead bytes in the Windows sense: a trail byte never equals an ASCII character, so byte-wise
// searches for "\" are safe and callers that test lead bytes take every byte on its own.
BOOL WINAPI IsDBCSLeadByte(BYTE) { return FALSE; }

int WINAPI CompareStringA(LCID, DWORD dwCmpFlags, LPCSTR lpString1, int cchCount1, LPCSTR lpString2,
                          int cchCount2) {
    if (!lpString1 || !lpString2 || cchCount1 < -1 || cchCount2 < -1 || (dwCmpFlags & ~NORM_IGNORECASE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string_view a(lpString1, cchCount1 < 0 ? std::strlen(lpString1) : static_cast<size_t>(cchCount1));
    std::string_view b(lpString2, cchCount2 < 0 ? std::strlen(lpString2) : static_cast<size_t>(cchCount2));
    return CSTR_EQUAL + platform::kernel::CompareLocaleText(a, b, dwCmpFlags & NORM_IGNORECASE);
}

int WINAPI LCMapStringA(LCID, DWORD dwMapFlags, LPCSTR lpSrcStr, int cchSrc, LPSTR lpDestStr, int cchDest) {
    // Only sort keys: bytes that compare with strcmp as the texts compare with CompareStringA, ending in a zero.
    if (!lpSrcStr || cchSrc < -1 || cchSrc == 0 || cchDest < 0 || (cchDest > 0 && !lpDestStr) ||
        (dwMapFlags & ~(LCMAP_SORTKEY | NORM_IGNORECASE)) != 0 || !(dwMapFlags & LCMAP_SORTKEY)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string_view text(lpSrcStr, cchSrc < 0 ? std::strlen(lpSrcStr) : static_cast<size_t>(cchSrc));
    const std::string key = platform::kernel::LocaleSortKey(text, dwMapFlags & NORM_IGNORECASE);
    const int size = static_cast<int>(key.size()) + 1;
    if (cchDest == 0) return size;
    if (cchDest < size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(lpDestStr, key.data(), key.size());
    lpDestStr[key.size()] = '\0';
    return size;
}

LPSTR WINAPI CharNextA(LPCSTR lpsz) {
    if (*lpsz == '\0') return const_cast<LPSTR>(lpsz);
    const char* end = lpsz + 1;
    while (end < lpsz + 4 && *end) ++end;
    return const_cast<LPSTR>(lpsz + CharacterLength(lpsz, end));
}

LPSTR WINAPI CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent) {
    if (lpszCurrent <= lpszStart) return const_cast<LPSTR>(lpszStart);
    const char* p = lpszCurrent - 1;
    // Step back over at most three trail bytes, then accept the lead byte only if it really spans to here.
    for (int back = 0; back < 3 && p > lpszStart && (static_cast<unsigned char>(*p) & 0xC0) == 0x80; ++back) --p;
    if (p + CharacterLength(p, lpszCurrent) != lpszCurrent) p = lpszCurrent - 1;
    return const_cast<LPSTR>(p);
}

DWORD WINAPI CharLowerBuffA(LPSTR lpsz, DWORD cchLength) {
    if (!lpsz) return 0;
    platform::kernel::LowerCaseInPlace(lpsz, cchLength);
    return cchLength;
}

DWORD WINAPI CharUpperBuffA(LPSTR lpsz, DWORD cchLength) {
    if (!lpsz) return 0;
    platform::kernel::UpperCaseInPlace(lpsz, cchLength);
    return cchLength;
}
