#pragma once
// The string functions the engine relies on, with the exact rules of the step format.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kv {

// Leading blanks and tabs skipped, one optional sign, decimal digits up to the first other
// character; 32-bit arithmetic that wraps ("4294967297" gives 1). No digit gives 0.
int32_t StringToInteger(const std::string& text);
// The ASCII letters a-z become A-Z; every other byte stays.
std::string UpperCase(const std::string& text);
int32_t StringLength(const std::string& text);
// `length` bytes from `position` (counted from 1); empty outside the text.
std::string MidString(const std::string& text, int32_t position, int32_t length);
// The pieces one after another, built in one string: a chain of "+" makes a temporary string,
// and the code to free it, at every step.
std::string Concat(std::initializer_list<std::string_view> pieces);
// Decimal digits, with "-" before a negative value.
std::string DecimalText(int64_t value);

}  // namespace kv
