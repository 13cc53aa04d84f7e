#pragma once
// Text rules of the system code page (UTF-8) shared inside the platform: the locale's collation, case-insensitive
// equality and case mapping. The list box's sorted order and the profile files' name matching use the same rules
// as CompareStringA, so that every part of the program agrees on what "the same name" means.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::kernel {

// Bytes taken by the character that starts at s (1 for a byte that does not start a valid UTF-8 sequence).
size_t CharacterLength(const char* s, const char* end);

// The user's locale order: punctuation, then digits, then letters; letter case decides only between texts that
// are otherwise equal (lower case first), and hyphens and apostrophes only after that. Returns -1, 0 or 1.
int CompareLocaleText(std::string_view a, std::string_view b, bool ignoreCase);
// Bytes without a zero that compare (unsigned, byte by byte, shorter first) as the text compares by the above.
std::string LocaleSortKey(std::string_view text, bool ignoreCase);

bool EqualIgnoringCase(std::string_view a, std::string_view b);

// The text's characters in lower case, one code point each (a byte that is not valid UTF-8 stands for itself).
std::u32string FoldedCharacters(std::string_view text);

// Case mapping character by character; a character whose other case needs a different number of bytes is kept.
void LowerCaseInPlace(char* text, size_t length);
void UpperCaseInPlace(char* text, size_t length);

}  // namespace platform::kernel
