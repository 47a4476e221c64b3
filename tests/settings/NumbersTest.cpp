#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

#include "settings/Numbers.h"

namespace kestrix {
namespace {

TEST(NumbersTest, DecimalValueConvertsLeniently) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  // Only blanks and tabs are skipped, and the sign must touch the digits.
  const std::pair<std::string_view, int> cases[] = {{"", 0},
                                                    {" -12abc", -12},
                                                    {"\t+7", 7},
                                                    {"- 5", 0},
                                                    {"\n5", 0},
                                                    {"2147483647", kMax},
                                                    {"2147483648", kMax},
                                                    {"-2147483649", kMin}};
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(DecimalValue(text), value) << '"' << text << '"';
  }
}

TEST(NumbersTest, HexValueConvertsLeniently) {
  // "x", "$", "#", "g", "/" and "G" are skipped; ":" to "@" count as 3 to 9;
  // a ninth digit pushes the first out.
  const std::pair<std::string_view, std::uint32_t> cases[] = {
      {"", 0},
      {"0x1000", 0x1000},
      {"$E80", 0xE80},
      {"#aBcDeF", 0xABCDEF},
      {"g1/G", 1},
      {";<=>?@", 0x456789},
      {"FFFFFFFF", 0xFFFFFFFF},
      {"123456789", 0x23456789}};
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(static_cast<std::uint32_t>(HexValue(text)), value) << text;
  }
}

TEST(NumbersTest, FloatValueTakesLongestDecimalPrefix) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  // "nan" and "inf" are not decimal numbers; out of range is infinite.
  const std::pair<std::string_view, float> cases[] = {
      {"", 0.0f},       {"15E-1", 1.5f}, {" +.5", 0.5f},   {"5.", 5.0f},
      {"2e+", 2.0f},    {"1,5", 1.0f},   {"nan", 0.0f},    {"inf", 0.0f},
      {"1e-999", 0.0f}, {"1e39", kInf},  {"-1e400", -kInf}};
  for (const auto& [text, value] : cases) {
    EXPECT_FLOAT_EQ(FloatValue(text), value) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace kestrix
