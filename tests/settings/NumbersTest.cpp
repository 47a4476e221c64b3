#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "settings/Numbers.h"

namespace kestrix {
namespace {

struct DecimalCase {
  std::string_view text;
  int expected;
};

TEST(DecimalValueTest, ConvertsLeniently) {
  constexpr int kMax = std::numeric_limits<int>::max();
  constexpr int kMin = std::numeric_limits<int>::min();
  // Only blanks and tabs are skipped, and the sign must touch the digits.
  // clang-format off
  const DecimalCase cases[] = {
      {"", 0}, {"abc", 0}, {"-", 0}, {"+", 0}, {"42", 42}, {" -12abc", -12},
      {"\t \t7", 7}, {"+7", 7}, {"007", 7}, {"3 4", 3}, {"1.9", 1},
      {"- 5", 0}, {"\n5", 0}, {"--5", 0}, {"2147483647", kMax},
      {"-2147483648", kMin}, {"2147483648", kMax}, {"-2147483649", kMin},
      {"99999999999999999999999999", kMax},
      {"-99999999999999999999999999", kMin}};
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(DecimalValue(c.text), c.expected) << '"' << c.text << '"';
  }
}

struct HexCase {
  std::string_view text;
  std::uint32_t expected;
};

TEST(HexValueTest, ConvertsLeniently) {
  // "x", "$", "#", "g", "/" (0x2F) and "G" (0x47) are skipped; ":" to "@"
  // count as 3 to 9; a ninth digit pushes the first out.
  // clang-format off
  const HexCase cases[] = {
      {"", 0}, {"0", 0}, {"1000", 0x1000}, {"0x1000", 0x1000},
      {"$E80", 0xE80}, {"e80", 0xE80}, {"aBcDeF", 0xABCDEF}, {"12 34", 0x1234},
      {"g1", 1}, {":", 3}, {";<=>?@", 0x456789}, {"1:", 0x13},
      {"#0000ff", 0xFF}, {"FFFFFFFF", 0xFFFFFFFF}, {"123456789", 0x23456789},
      {"ABCDEF0123", 0xCDEF0123}, {"/G", 0}, {"\xE9g1", 1}};
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(static_cast<std::uint32_t>(HexValue(c.text)), c.expected)
        << '"' << c.text << '"';
  }
}

struct FloatCase {
  std::string_view text;
  float expected;
};

TEST(FloatValueTest, TakesLongestDecimalPrefix) {
  constexpr float kInf = std::numeric_limits<float>::infinity();
  const std::string kNines(400, '9');
  // "nan" and "inf" are not decimal numbers; "1,5" stops at the comma.
  // clang-format off
  const FloatCase cases[] = {
      {"", 0.0f}, {"abc", 0.0f}, {"1.5", 1.5f}, {"1.5e0", 1.5f},
      {"15E-1", 1.5f}, {"-2", -2.0f}, {"+2.25", 2.25f}, {" 3", 3.0f},
      {".5", 0.5f}, {"5.", 5.0f}, {"1.5x", 1.5f}, {"2e", 2.0f}, {"2e+", 2.0f},
      {"2e+1", 20.0f}, {"1,5", 1.0f}, {"nan", 0.0f}, {"inf", 0.0f},
      {"-", 0.0f}, {".", 0.0f}, {"1e-999", 0.0f}, {"0e99999999999", 0.0f},
      {"0.0000000000000000000000000000000000000000000000000001", 0.0f},
      // Out of float range becomes infinity.
      {"1e39", kInf}, {"-1e400", -kInf}, {"1e99999999999999999999", kInf},
      {std::string_view(kNines), kInf}};
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(FloatValue(c.text), c.expected) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace kestrix
