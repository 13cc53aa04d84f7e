#include "runtime/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdint>

#include "runtime/Exception.h"
#include "runtime/RealText.h"

namespace {

using namespace std::chrono;

constexpr int64_t kMillisecondsPerDay = 86'400'000;
// Day 0 is 1899-12-30, 25569 days before the system clock's epoch.
constexpr int kEpochOffset = 25569;
// The days of 0001/01/01 and 9999/12/31.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958465;

// Days before day 0 carry their time of day with the opposite sign (see the header).
TDateTime Combine(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

// Reads 1 to maxDigits decimal digits at text[i].
bool ReadField(std::string_view text, size_t& i, int maxDigits, int& value) {
    size_t start = i;
    value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < static_cast<size_t>(maxDigits))
        value = value * 10 + (text[i++] - '0');
    return i > start && (i == text.size() || text[i] < '0' || text[i] > '9');
}

bool Expect(std::string_view text, size_t& i, char c) {
    if (i >= text.size() || text[i] != c) return false;
    ++i;
    return true;
}

bool ReadDate(std::string_view text, size_t& i, TDateTime& value) {
    int year = 0, month = 0, day = 0;
    return ReadField(text, i, 4, year) && Expect(text, i, '/') && ReadField(text, i, 2, month) &&
           Expect(text, i, '/') && ReadField(text, i, 2, day) && TryEncodeDate(year, month, day, value);
}

bool ReadTime(std::string_view text, size_t& i, TDateTime& value) {
    int hour = 0, minute = 0, second = 0;
    if (!ReadField(text, i, 2, hour) || !Expect(text, i, ':') || !ReadField(text, i, 2, minute)) return false;
    if (Expect(text, i, ':') && !ReadField(text, i, 2, second)) return false;
    return TryEncodeTime(hour, minute, second, 0, value);
}

std::string_view TrimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& value) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return false;
    year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                        std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) return false;
    value = static_cast<TDateTime>(sys_days(date).time_since_epoch().count() + kEpochOffset);
    return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& value) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
        millisecond > 999)
        return false;
    value = static_cast<TDateTime>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / kMillisecondsPerDay;
    return true;
}

TDateParts DecodeDateTime(TDateTime value) {
    double wholeDays = std::trunc(value);
    if (!std::isfinite(value) || wholeDays < kFirstDay || wholeDays > kLastDay)
        throw EConvertError(Msg::SInvalidDateTime, RealToText(value));
    int64_t days = static_cast<int64_t>(wholeDays);
    int64_t milliseconds = std::llround(std::fabs(value - wholeDays) * kMillisecondsPerDay);
    if (milliseconds >= kMillisecondsPerDay) {
        // Rounding reached the next midnight, which lies further from day 0 on either side of it.
        milliseconds -= kMillisecondsPerDay;
        days += value < 0 ? -1 : 1;
    }
    year_month_day date{sys_days(std::chrono::days(days - kEpochOffset))};
    TDateParts parts;
    parts.year = static_cast<int>(date.year());
    parts.month = static_cast<int>(static_cast<unsigned>(date.month()));
    parts.day = static_cast<int>(static_cast<unsigned>(date.day()));
    parts.hour = static_cast<int>(milliseconds / 3'600'000);
    parts.minute = static_cast<int>(milliseconds / 60'000 % 60);
    parts.second = static_cast<int>(milliseconds / 1000 % 60);
    parts.millisecond = static_cast<int>(milliseconds % 1000);
    return parts;
}

std::string DateToText(TDateTime value) {
    TDateParts parts = DecodeDateTime(value);
    return Format("%.4d/%.2d/%.2d", parts.year, parts.month, parts.day);
}

std::string TimeToText(TDateTime value) {
    TDateParts parts = DecodeDateTime(value);
    return Format("%d:%.2d:%.2d", parts.hour, parts.minute, parts.second);
}

std::string DateTimeToText(TDateTime value) { return DateToText(value) + " " + TimeToText(value); }

TDateTime TextToDate(std::string_view text) {
    std::string_view trimmed = TrimBlanks(text);
    size_t i = 0;
    TDateTime date = 0;
    if (!ReadDate(trimmed, i, date) || i != trimmed.size()) throw EConvertError(Msg::SInvalidDate, text);
    return date;
}

TDateTime TextToTime(std::string_view text) {
    std::string_view trimmed = TrimBlanks(text);
    size_t i = 0;
    TDateTime time = 0;
    if (!ReadTime(trimmed, i, time) || i != trimmed.size()) throw EConvertError(Msg::SInvalidTime, text);
    return time;
}

TDateTime TextToDateTime(std::string_view text) {
    std::string_view trimmed = TrimBlanks(text);
    size_t i = 0;
    TDateTime date = 0;
    TDateTime time = 0;
    bool valid = ReadDate(trimmed, i, date);
    if (valid && i < trimmed.size()) {
        // The text has no blank at its end, so blanks here are followed by the time.
        size_t blanks = trimmed.find_first_not_of(' ', i) - i;
        i += blanks;
        valid = blanks > 0 && ReadTime(trimmed, i, time);
    }
    if (!valid || i != trimmed.size()) throw EConvertError(Msg::SInvalidDateTime, text);
    return Combine(date, time);
}
