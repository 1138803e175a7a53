#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexlor {

// The Preview's number fields: the HULL and MAP picture numbers and the three settings.
inline constexpr int kPictureNumberFieldMax = 65500;
inline constexpr int kSettingFieldMax = 255;

// A value that the program puts into a field of range 0..max.
int LimitToField(std::int64_t value, int max);

// The value that a field of range 0..max holds for the text the user left in it: the text read as
// a whole decimal number (an optional sign, then digits), 0 when it is not one, limited to the
// range.
int FieldValueFromText(std::string_view text, int max);

// What a field of range 0..max tells the user about a text whose value is not what it says: for
// a text that is a whole number within the range, nothing; otherwise "will be written as N", with
// why ("Not a number", "Out of range") in front.
std::string FieldTextWarning(std::string_view text, int max);

}  // namespace vexlor
