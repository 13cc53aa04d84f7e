#pragma once
// Floating-point numbers as text: up to 15 significant digits, "." as the decimal point whatever the locale,
// plain notation for ordinary magnitudes and an exponent for very large or small ones ("0.1", "-2.5", "1E+20",
// "1E-05"). Reading takes that form and any other decimal notation, with blanks (0x20) around it; anything else
// raises EConvertError.

#include <string>
#include <string_view>

std::string RealToText(double value);
double TextToReal(std::string_view text);
