#pragma once
// Dates and times as one double: whole days since 1899-12-30, and the time of day as the fraction. Before that day
// the whole part counts back while the fraction still counts forward, so -1.25 is 1899-12-29 6:00.
// Texts: a date is "yyyy/mm/dd", a time "h:mm:ss", a date and time "yyyy/mm/dd h:mm:ss". Reading also takes
// one-digit months and days, a time without seconds, and blanks (0x20) around the whole text. Years run from 1
// to 9999. A text that is not a date or time raises EConvertError.

#include <string>
#include <string_view>

using TDateTime = double;

struct TDateParts {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// False for a day that does not exist (2023/02/29) or a time out of range.
bool TryEncodeDate(int year, int month, int day, TDateTime& value);
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value);
// The parts of a value, rounded to the millisecond. A value outside the years 1 to 9999 raises EConvertError.
TDateParts DecodeDateTime(TDateTime value);

std::string DateToText(TDateTime value);
std::string TimeToText(TDateTime value);
std::string DateTimeToText(TDateTime value);

TDateTime TextToDate(std::string_view text);
TDateTime TextToTime(std::string_view text);
// A date alone reads as that day's midnight.
TDateTime TextToDateTime(std::string_view text);
