#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace {

int Compare(const std::string& a, const std::string& b, DWORD flags = 0) {
    return CompareStringA(LOCALE_USER_DEFAULT, flags, a.c_str(), -1, b.c_str(), -1);
}

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

TEST(Locale, FileNamesSortAlphabeticallyIgnoringCase) {
    std::vector<std::string> names = {"b.MP3", "a.wav", "B.mp3", "10.mp3", "2.mp3", "_intro.mp3", "Zebra.au",
                                      "apple.mid", "日本.mp3", "Éclair.wav"};
    std::stable_sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Compare(a, b, NORM_IGNORECASE) == CSTR_LESS_THAN; });
    // Symbols before digits before letters; digits compare as characters, not numbers.
    EXPECT_EQ(names, (std::vector<std::string>{"_intro.mp3", "10.mp3", "2.mp3", "a.wav", "apple.mid", "b.MP3",
                                               "B.mp3", "Zebra.au", "Éclair.wav", "日本.mp3"}));
}

TEST(Locale, CaseDecidesOnlyBetweenOtherwiseEqualTexts) {
    EXPECT_EQ(Compare("ABC", "abc", NORM_IGNORECASE), CSTR_EQUAL);
    EXPECT_EQ(Compare("ÄÖÜ", "äöü", NORM_IGNORECASE), CSTR_EQUAL);
    EXPECT_EQ(Compare("ＡＢＣ", "ａｂｃ", NORM_IGNORECASE), CSTR_EQUAL);  // full-width letters have case too
    EXPECT_EQ(Compare("abc", "ABC"), CSTR_LESS_THAN);                     // lower case first
    EXPECT_EQ(Compare("ABC", "abd"), CSTR_LESS_THAN);                     // letters decide before case
    EXPECT_EQ(Compare("abc", "abc"), CSTR_EQUAL);
    EXPECT_EQ(Compare("ab", "abc", NORM_IGNORECASE), CSTR_LESS_THAN);
    EXPECT_EQ(Compare("", "", NORM_IGNORECASE), CSTR_EQUAL);
}

TEST(Locale, ACommonStartDecidesNothingEvenInsideACharacter) {
    // Ä (C3 84) and ä (C3 A4) share their first byte; they are one letter in two cases, not two bytes.
    EXPECT_EQ(Compare("曲 Ä.mp3", "曲 ä.mp3", NORM_IGNORECASE), CSTR_EQUAL);
    EXPECT_EQ(Compare("曲 ä.mp3", "曲 Ä.mp3"), CSTR_LESS_THAN);
    EXPECT_EQ(Compare("日本", "日時"), CSTR_GREATER_THAN);  // U+672C after U+6642
    EXPECT_EQ(Compare("曲 10", "曲 9", NORM_IGNORECASE), CSTR_LESS_THAN);
    EXPECT_EQ(Compare("曲 co-op", "曲 cop"), CSTR_LESS_THAN);
    EXPECT_EQ(Compare("曲 Äb", "曲 äB"), Compare("Äb", "äB"));
    EXPECT_EQ(Compare("曲 Äb", "曲 äB", NORM_IGNORECASE), CSTR_EQUAL);
}

TEST(Locale, HyphensAndApostrophesWeighLast) {
    EXPECT_EQ(Compare("co-op", "cop"), CSTR_LESS_THAN);  // "coop" < "cop" decides, the hyphen does not
    EXPECT_EQ(Compare("don't", "dona", NORM_IGNORECASE), CSTR_GREATER_THAN);
    // They still tell texts apart, in one consistent order.
    EXPECT_NE(Compare("co-op", "coop", NORM_IGNORECASE), CSTR_EQUAL);
    EXPECT_EQ(Compare("co-op", "coop"), 4 - Compare("coop", "co-op"));
}

TEST(Locale, SortKeysCompareAsTheirTextsDo) {
    const std::vector<std::string> texts = {
        "", "a", "A", "ab", "aB", "Ab", "abc", "ab-c", "abc-", "-abc", "a'b", "co-op", "coop", "cop", "Co-op",
        "a b", "a.b", "a_b", "a+b", "a~b", "10.mp3", "9.mp3", "_intro.mp3", "Zebra.au", "zebra.au", "Éclair",
        "éclair", "eclair", "日本.mp3", "日時.mp3", "ＡＢＣ", "ａｂｃ", "曲 Ä.mp3", "曲 ä.mp3", "曲 10", "曲 9",
        "tab\there", "bell\a", "\xff\xfe", "a\xc3", "a\xc3\x84", "\x7f", "\x01", "\xe6\x9b"};
    auto keyOf = [](const std::string& text, DWORD flags) {
        int size = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | flags, text.c_str(), -1, nullptr, 0);
        std::string key(static_cast<size_t>(size), '\x7f');
        EXPECT_EQ(LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | flags, text.c_str(), -1, key.data(), size), size);
        EXPECT_EQ(key.find('\0'), key.size() - 1) << "one zero, at the end";
        return key;
    };
    auto sign = [](int value) { return (value > 0) - (value < 0); };
    for (DWORD flags : {DWORD{0}, DWORD{NORM_IGNORECASE}}) {
        for (const std::string& a : texts) {
            for (const std::string& b : texts) {
                SCOPED_TRACE("\"" + a + "\" and \"" + b + "\", flags " + std::to_string(flags));
                EXPECT_EQ(sign(std::strcmp(keyOf(a, flags).c_str(), keyOf(b, flags).c_str())),
                          Compare(a, b, flags) - CSTR_EQUAL);
            }
        }
    }
    // The size asked for is the size needed; a smaller buffer is refused.
    char small[4];
    EXPECT_EQ(LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY, "abc", 3, small, sizeof small), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(LCMapStringA(LOCALE_USER_DEFAULT, 0, "abc", 3, small, sizeof small), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Locale, CountedLengthsAndBadArguments) {
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, "abcX", 3, "abcY", 3), CSTR_EQUAL);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, nullptr, -1, "a", -1), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Bytes that are not UTF-8 sort after every character but still compare consistently.
    EXPECT_EQ(Compare("\xff", "日本"), CSTR_GREATER_THAN);
    EXPECT_EQ(Compare("a\xff", "A\xff", NORM_IGNORECASE), CSTR_EQUAL);
}

TEST(Locale, CaseMappingKeepsByteLengths) {
    EXPECT_EQ(Lower("Korvo MUSIC.MP3"), "korvo music.mp3");
    EXPECT_EQ(Lower("ÉCOLE ЖУК"), "école жук");
    EXPECT_EQ(Upper("école жук"), "ÉCOLE ЖУК");
    EXPECT_EQ(Lower("日本語のＡ"), "日本語のａ");
    EXPECT_EQ(Lower("\xff\xc3"), "\xff\xc3");  // broken bytes stay as they are
    EXPECT_EQ(Upper("ß"), "ß");                // its upper case would need other bytes
}

TEST(Locale, CharacterStepsTreatMultiByteCharactersAsOne) {
    const char* text = "a日\\\xff" "b";
    const char* p = CharNextA(text);
    EXPECT_EQ(p - text, 1);
    p = CharNextA(p);
    EXPECT_EQ(p - text, 4);  // the three bytes of 日
    EXPECT_EQ(*p, '\\');
    p = CharNextA(CharNextA(p));  // the backslash, then the broken byte alone
    EXPECT_EQ(*p, 'b');
    EXPECT_EQ(CharNextA(text + 7), text + 7);  // the terminating zero stays put
    EXPECT_EQ(CharPrevA(text, text + 4), text + 1);
    EXPECT_EQ(CharPrevA(text, text + 5), text + 4);
    EXPECT_EQ(CharPrevA(text, text + 6), text + 5);
    EXPECT_EQ(CharPrevA(text, text), text);
    EXPECT_EQ(GetACP(), static_cast<UINT>(CP_UTF8));
}
