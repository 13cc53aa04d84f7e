#include "runtime/DateTime.h"

#include <gtest/gtest.h>

#include <limits>

#include "runtime/Exception.h"
#include "runtime/RealText.h"

namespace {

TDateTime Date(int year, int month, int day) {
    TDateTime value = 0;
    EXPECT_TRUE(TryEncodeDate(year, month, day, value));
    return value;
}

TDateTime Time(int hour, int minute, int second) {
    TDateTime value = 0;
    EXPECT_TRUE(TryEncodeTime(hour, minute, second, 0, value));
    return value;
}

TEST(DateTime, WritesAndReadsBackDatesAndTimes) {
    EXPECT_EQ(Date(2000, 1, 1), 36526) << "days since 1899/12/30";
    TDateTime moment = Date(2024, 3, 7) + Time(9, 5, 3);
    EXPECT_EQ(DateToText(moment), "2024/03/07");
    EXPECT_EQ(TimeToText(moment), "9:05:03");
    EXPECT_EQ(DateTimeToText(moment), "2024/03/07 9:05:03");
    EXPECT_EQ(TextToDate("2024/03/07"), Date(2024, 3, 7));
    EXPECT_EQ(TextToDate(" 2024/3/7 "), Date(2024, 3, 7));
    EXPECT_DOUBLE_EQ(TextToTime("9:05:03"), Time(9, 5, 3));
    EXPECT_DOUBLE_EQ(TextToTime("23:59"), Time(23, 59, 0));
    EXPECT_DOUBLE_EQ(TextToDateTime("2024/03/07 9:05:03"), moment);
    // Before day 0 the time of day counts the other way; it must still read back.
    TDateTime early = TextToDateTime("1899/12/29 6:00:00");
    EXPECT_DOUBLE_EQ(early, -1.25);
    EXPECT_EQ(DateTimeToText(early), "1899/12/29 6:00:00");
    EXPECT_EQ(DateTimeToText(Date(2024, 3, 7) + Time(23, 59, 59) + 0.9999 / 86400), "2024/03/08 0:00:00")
        << "rounding up to midnight moves to the next day";
}

TEST(DateTime, RefusesTextThatIsNoDateOrTime) {
    for (std::string_view text : {"", "2024", "2024/02/30", "2024/03/07x", "24:00:00", "9:5:3:1", "2024-03-07",
                                  "12345/01/01", "9:60", "1:2:"}) {
        EXPECT_THROW(TextToDate(text), EConvertError) << text;
        EXPECT_THROW(TextToTime(text), EConvertError) << text;
    }
    EXPECT_THROW(TextToDateTime("2024/03/07x9:00"), EConvertError);
    EXPECT_THROW(TextToDateTime("9:00"), EConvertError);
    EXPECT_THROW(DateToText(std::numeric_limits<double>::quiet_NaN()), EConvertError);
    EXPECT_THROW(DateToText(1e300), EConvertError);
}

TEST(RealText, WritesFifteenSignificantDigitsAndReadsThemBack) {
    EXPECT_EQ(RealToText(0.1), "0.1");
    EXPECT_EQ(RealToText(-2.5), "-2.5");
    EXPECT_EQ(RealToText(1.0 / 3), "0.333333333333333");
    EXPECT_EQ(RealToText(1e20), "1E+20");
    EXPECT_EQ(TextToReal(" 2.5 "), 2.5);
    EXPECT_EQ(TextToReal("+2.5"), 2.5);
    for (double value : {0.1, -123456.789, 6.02214076e23, 1e-7})
        EXPECT_DOUBLE_EQ(TextToReal(RealToText(value)), value);
    for (std::string_view text : {"", " ", "1,5", "abc", "1.5x", "+", "+-1", "1e999"})
        EXPECT_THROW(TextToReal(text), EConvertError) << text;
}

}  // namespace
