#pragma once
// Property values as the layouts write them: colours by name ("clBtnFace") or number, fonts as objects of their
// own properties, sets as lists of names, enumerations by name.

#include <initializer_list>
#include <string_view>
#include <utility>

#include "runtime/Colors.h"
#include "runtime/Font.h"
#include "runtime/LayoutValue.h"

TColor ReadColor(const TLayoutValue& value);
void ReadFont(TFont& font, const TLayoutValue& value);

// An enumeration value by its name among `names` (the index is the value), or EConvertError.
int ReadEnumeration(const TLayoutValue& value, std::initializer_list<std::string_view> names);
