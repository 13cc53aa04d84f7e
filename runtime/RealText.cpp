#include "runtime/RealText.h"

#include <cctype>
#include <charconv>

#include "runtime/Exception.h"

namespace {

// Enough digits to tell doubles apart in the display, without the noise of the 16th and 17th.
constexpr int kSignificantDigits = 15;

}  // namespace

std::string RealToText(double value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general,
                                      kSignificantDigits);
    if (error != std::errc()) return "0";  // cannot happen: 64 bytes hold any double at 15 digits
    std::string text(buffer, end);
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

double TextToReal(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    std::string_view number = first == std::string_view::npos ? std::string_view() : text.substr(first);
    number = number.substr(0, number.find_last_not_of(' ') + 1);
    // from_chars takes a minus sign only.
    if (number.size() > 1 && number[0] == '+' && number[1] != '-') number.remove_prefix(1);
    if (number.empty()) throw EConvertError(Msg::SInvalidReal, text);
    double value = 0;
    auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) throw EConvertError(Msg::SInvalidReal, text);
    return value;
}
