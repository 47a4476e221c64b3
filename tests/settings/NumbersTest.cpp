#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string_view>

#include "settings/Numbers.h"

namespace kestrix {
namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

TEST(NumbersTest, ConvertLeniently) {
  const struct {
    const char* name;
    std::string_view text;
    int decimal;
    std::uint32_t hex;
    float real;
  } rows[] = {
      {"empty", "", 0, 0, 0.0f},
      {"blank, sign, trailing letters", " -12abc", -12, 0x12ABC, -12.0f},
      {"tab and plus", "\t+7", 7, 7, 7.0f},
      {"sign apart from the digits", "- 5", 0, 5, 0.0f},
      {"a line break is no blank", "\n5", 0, 5, 0.0f},
      {"largest int", "2147483647", 2147483647, 0x47483647, 2147483647.0f},
      {"above int", "2147483648", std::numeric_limits<int>::max(), 0x47483648,
       2147483648.0f},
      {"below int", "-2147483649", std::numeric_limits<int>::min(), 0x47483649,
       -2147483649.0f},
      // "x", "$", "#", "g", "/" and "G" are skipped in hex; ":" to "@"
      // count as 3 to 9.
      {"hex prefixes", "0x1000", 0, 0x1000, 0.0f},
      {"dollar", "$E80", 0, 0xE80, 0.0f},
      {"hash and case", "#aBcDeF", 0, 0xABCDEF, 0.0f},
      {"skipped letters", "g1/G", 0, 1, 0.0f},
      {"punctuation digits", ";<=>?@", 0, 0x456789, 0.0f},
      {"exponent", "15E-1", 15, 0x15E1, 1.5f},
      {"point first", " +.5", 0, 5, 0.5f},
      {"point last", "5.", 5, 5, 5.0f},
      {"bare exponent", "2e+", 2, 0x2E, 2.0f},
      {"comma", "1,5", 1, 0x15, 1.0f},
      {"nan is no number", "nan", 0, 0xA, 0.0f},
      {"inf is no number", "inf", 0, 0xF, 0.0f},
      {"underflow", "1e-999", 1, 0x1E999, 0.0f},
      {"overflow", "-1e400", -1, 0x1E400, -kInf}};
  for (const auto& row : rows) {
    EXPECT_EQ(DecimalValue(row.text), row.decimal) << row.name;
    EXPECT_EQ(static_cast<std::uint32_t>(HexValue(row.text)), row.hex)
        << row.name;
    EXPECT_FLOAT_EQ(FloatValue(row.text), row.real) << row.name;
  }
  // A ninth hex digit pushes the first out.
  EXPECT_EQ(static_cast<std::uint32_t>(HexValue("123456789")), 0x23456789u);
}

}  // namespace
}  // namespace kestrix
