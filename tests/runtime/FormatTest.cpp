#include "runtime/Format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "runtime/Exception.h"

namespace {

TEST(Format, PadsNumbersToTheirWidth) {
    EXPECT_EQ(Format("%2d:%2d", 3, 7), " 3: 7");
    EXPECT_EQ(Format("%2d:%2d", 59, 59), "59:59");
    EXPECT_EQ(Format("%2d", 187), "187") << "a width never cuts";
    EXPECT_EQ(Format("[%-4d]", 12), "[12  ]");
    EXPECT_EQ(Format("[%5d]", -12), "[  -12]");
    EXPECT_EQ(Format("%.3d|%.3d|%5.3d", 5, -5, 7), "005|-005|  007");
    EXPECT_EQ(Format("%d", std::numeric_limits<int32_t>::min()), "-2147483648");
    EXPECT_EQ(Format("%d", std::numeric_limits<int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(Format("%d", std::numeric_limits<uint32_t>::max()), "4294967295");
}

TEST(Format, WritesHexadecimalAndPointersInUpperCase) {
    EXPECT_EQ(Format("%x", -1), "FFFFFFFF");
    EXPECT_EQ(Format("%x", std::numeric_limits<int32_t>::min()), "80000000");
    EXPECT_EQ(Format("%x", 0xabcdef), "ABCDEF");
    EXPECT_EQ(Format("%.4x", 0x1f), "001F");
    EXPECT_EQ(Format("%p", reinterpret_cast<void*>(0x1234abcd)), "1234ABCD");
    EXPECT_EQ(Format("%p", nullptr), "00000000");
    EXPECT_EQ(Format("%p", reinterpret_cast<const int*>(0x1)), "00000001");
    EXPECT_EQ(Format("%p", reinterpret_cast<void*>(uintptr_t{0x7F12345678AB})), "7F12345678AB");
}

TEST(Format, CopiesTextsAndLiteralsByteForByte) {
    std::string owned = "C:\\Music\\Korvo.ini";
    EXPECT_EQ(Format("%s に書き込めません", owned), "C:\\Music\\Korvo.ini に書き込めません");
    EXPECT_EQ(Format("%s を %s に代入することはできません", "nil", std::string_view("TStringList")),
              "nil を TStringList に代入することはできません");
    EXPECT_EQ(Format("[%6s|%-6s]", "ab", "cd"), "[    ab|cd    ]");
    EXPECT_EQ(Format("%.2s", "abc"), "ab");
    EXPECT_EQ(Format("%.4s", "aあ"), "aあ");
    EXPECT_EQ(Format("%.3s", "aあ"), "a") << "a character is not cut in two";
    EXPECT_EQ(Format("100%% 完了"), "100% 完了");
    EXPECT_EQ(Format(std::string_view("a\0b", 3)), std::string("a\0b", 3));
    const char* none = nullptr;
    EXPECT_EQ(Format("<%s>", none), "<>");
}

TEST(Format, RaisesWhenThePatternDoesNotFitTheArguments) {
    EXPECT_THROW(Format("%d"), EConvertError) << "too few";
    EXPECT_THROW(Format("%d", 1, 2), EConvertError) << "too many";
    EXPECT_THROW(Format("no pattern", 1), EConvertError);
    EXPECT_THROW(Format("%d", "12"), EConvertError);
    EXPECT_THROW(Format("%s", 12), EConvertError);
    EXPECT_THROW(Format("%x", nullptr), EConvertError);
    EXPECT_THROW(Format("%p", 12), EConvertError);
    EXPECT_THROW(Format("%q", 12), EConvertError);
    EXPECT_THROW(Format("100%", 12), EConvertError);
    EXPECT_THROW(Format("%99999999999999999999d", 1), EConvertError);
    try {
        Format("%d de %d", 1);
        FAIL() << "no error raised";
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message().find("%d de %d"), std::string::npos) << "the message names the pattern";
    }
}

}  // namespace
