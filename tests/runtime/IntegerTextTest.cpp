#include "runtime/IntegerText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>

namespace {

// The value of text, or the marker 999 when it is refused.
int32_t Parsed(std::string_view text) {
    int32_t value = 999;
    return TryTextToInt(text, value) ? value : 999;
}

TEST(IntegerText, ReadsSignedDecimalAndUnsignedHexadecimal) {
    EXPECT_EQ(Parsed("12"), 12);
    EXPECT_EQ(Parsed(" 12"), 12);
    EXPECT_EQ(Parsed("+12"), 12);
    EXPECT_EQ(Parsed("-12"), -12);
    EXPECT_EQ(Parsed("$1F"), 31);
    EXPECT_EQ(Parsed("x1F"), 31);
    EXPECT_EQ(Parsed("X1f"), 31);
    EXPECT_EQ(Parsed("0x1F"), 31);
    EXPECT_EQ(Parsed("0X1f"), 31);
    EXPECT_EQ(Parsed("007"), 7);
    EXPECT_EQ(Parsed("0"), 0);
}

TEST(IntegerText, RefusesEverythingElse) {
    for (std::string_view text : {"12 ", "1 2", "\t12", "", " ", "-", "+", "$", "x", "0x", "-$1F", "+0x1F", "- 1",
                                  "1.5", "abc", "$1G", "12a", "0x-1", "--1"}) {
        int32_t value = 42;
        EXPECT_FALSE(TryTextToInt(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 42) << "a refused text leaves the value alone";
    }
    EXPECT_EQ(Parsed(std::string_view("1\0" "2", 3)), 999) << "a zero byte is not the end of the text";
}

TEST(IntegerText, KeepsWithinThirtyTwoBits) {
    EXPECT_EQ(Parsed("2147483647"), 2147483647);
    EXPECT_EQ(Parsed("2147483648"), 999);
    EXPECT_EQ(Parsed("+2147483648"), 999);
    EXPECT_EQ(Parsed("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Parsed("-2147483649"), 999);
    EXPECT_EQ(Parsed("21474836470"), 999);
    EXPECT_EQ(Parsed("99999999999999999999"), 999);
    EXPECT_EQ(Parsed("00000000000000000012"), 12) << "leading zeros never overflow";
    EXPECT_EQ(Parsed("$FFFFFFFF"), -1);
    EXPECT_EQ(Parsed("$80000000"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Parsed("$7FFFFFFF"), 2147483647);
    EXPECT_EQ(Parsed("$100000000"), 999);
    EXPECT_EQ(Parsed("$000000001"), 1);
}

TEST(IntegerText, ReadsOnlyInsideTheText) {
    // Heap blocks of exactly the text's size: the address checker reports any byte read beyond them.
    for (const char* text : {"0x", "$", "-", "12", " ", "0"}) {
        size_t size = std::strlen(text);
        auto exact = std::make_unique<char[]>(size);
        std::memcpy(exact.get(), text, size);
        int32_t value = 0;
        TryTextToInt(std::string_view(exact.get(), size), value);
    }
    EXPECT_EQ(Parsed(std::string_view("123", 2)), 12);
    EXPECT_EQ(Parsed(std::string_view("0x1", 2)), 999);
}

TEST(IntegerText, WritesTextThatReadsBackEqual) {
    EXPECT_EQ(IntToText(-5), "-5");
    EXPECT_EQ(IntToText(0), "0");
    for (int32_t value : {std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()})
        EXPECT_EQ(Parsed(IntToText(value)), value);
}

}  // namespace
