#include "settings/Numbers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace kestrix {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipBlanks(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return i;
}

}  // namespace

int DecimalValue(std::string_view text) {
  std::size_t i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Accumulate the magnitude in 64 bits and stop growing it once it is past
  // the 32-bit range; the sign is applied at the end.
  constexpr std::int64_t kLimit =
      static_cast<std::int64_t>(std::numeric_limits<int>::max()) + 1;
  std::int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (magnitude <= kLimit) magnitude = magnitude * 10 + (text[i] - '0');
  }
  if (negative) {
    return magnitude >= kLimit ? std::numeric_limits<int>::min()
                               : static_cast<int>(-magnitude);
  }
  return magnitude >= kLimit ? std::numeric_limits<int>::max()
                             : static_cast<int>(magnitude);
}

std::int32_t HexValue(std::string_view text) {
  std::uint32_t value = 0;
  for (char raw : text) {
    unsigned code = static_cast<unsigned char>(raw);
    if (code >= 'a' && code <= 'f') code -= 'a' - 'A';
    if (code < 0x30 || code > 0x46) continue;
    // ":" to "@" fall into the digit range and count as 3 to 9.
    unsigned digit = code <= 0x39 ? code - 0x30 : code - 0x37;
    value = (value << 4) + digit;
  }
  return static_cast<std::int32_t>(value);
}

float FloatValue(std::string_view text) {
  std::size_t i = SkipBlanks(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const std::size_t mantissaStart = i;

  // Decimal exponent of the leading significant digit, kept to tell an
  // overflow from an underflow when the value leaves the double range.
  long long magnitude = 0;
  bool significant = false;
  std::size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    if (text[i] != '0') significant = true;
    if (significant) ++magnitude;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      if (significant) continue;
      if (text[i] != '0') {
        significant = true;
      } else {
        --magnitude;
      }
    }
  }
  if (digits == 0) return 0.0f;
  std::size_t end = i;

  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool exponentNegative = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
      exponentNegative = text[j] == '-';
      ++j;
    }
    long long exponent = 0;
    std::size_t exponentStart = j;
    for (; j < text.size() && IsDigit(text[j]); ++j) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[j] - '0');
    }
    // "1e" or "1e+" end the number before the "e".
    if (j > exponentStart) {
      end = j;
      magnitude += exponentNegative ? -exponent : exponent;
    }
  }
  // from_chars takes no "+" and is independent of the locale.
  const std::string_view number =
      text.substr(mantissaStart, end - mantissaStart);
  double value = 0.0;
  const auto result =
      std::from_chars(number.data(), number.data() + number.size(), value,
                      std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc()) {
    value = 0.0;
  }
  if (negative) value = -value;
  // Doubles beyond the float range round to an infinity under IEEE 754.
  return static_cast<float>(value);
}

}  // namespace kestrix
