#pragma once

#include <cstdint>
#include <string_view>

namespace kestrix {

// Lenient conversions of numbers typed by the user or read from the settings
// file. None of them fails: they convert as far as the text allows.

// Decimal integer: leading blanks and tabs are skipped, then an optional "+" or
// "-", then the digits up to the first other character. No digits give 0.
// Values beyond the 32-bit range saturate at INT32_MIN / INT32_MAX, so an
// oversized port number or screen size stays "huge" instead of wrapping into
// an unrelated (possibly negative) value.
int DecimalValue(std::string_view text);

// Hexadecimal: every character is upper-cased; codes "0" (0x30) to "F" (0x46)
// count as digits, including ":" to "@" (0x3A..0x40) worth 3 to 9; every other
// character is skipped. The result keeps the last eight digits (32 bits).
// "$E80" gives 0xE80, an empty text 0.
std::int32_t HexValue(std::string_view text);

// Decimal floating point: the longest leading part of the form
// [sign] digits [. digits] [e|E [sign] digits] (at least one mantissa digit),
// converted independently of the locale and narrowed to float. No such part
// gives 0. "nan" and "inf" are not numbers here (0); a magnitude beyond the
// float range gives an infinity, one below it gives zero.
float FloatValue(std::string_view text);

}  // namespace kestrix
