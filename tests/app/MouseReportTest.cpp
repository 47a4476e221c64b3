#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "app/MouseReport.h"
#include "support/FakePort.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

class MouseReportTest : public ::testing::Test {
 protected:
  // A report from the 640 x 446 inner area of an 80 x 25 window.
  Bytes Report(int innerX, int innerY, float scale = 1.0f) {
    port.writes.clear();
    SendMouseReport(port, blocks, buttons,
                    ImagePosition(innerX, innerY, static_cast<int>(640 * scale),
                                  static_cast<int>(446 * scale), scale));
    return port.Written();
  }
  test::FakePort port;
  SharedBlocks blocks;
  MouseButtons buttons;
};

TEST_F(MouseReportTest, PositionsAndButtonsOnTheWire) {
  struct Case {
    bool left;
    int x, y;
    float scale;
    Bytes out;
  };
  const Case cases[] = {
      // The low bits of x (0x20) and y (0x10) ride in the second byte.
      {true, 100, 37, 1.0f, {5, 0x11, 50, 18}},
      {false, 511, 0, 1.0f, {5, 0x20, 255, 0}},
      // 512 loses its top bit on the wire.
      {false, 512, 445, 1.0f, {5, 0x10, 0, 222}},
      // Outside the window reads as -1.
      {false, -1, 20, 1.0f, {5, 0x30, 0xFF, 0xFF}},
      {true, 20, 446, 1.0f, {5, 0x31, 0xFF, 0xFF}},
      // At double scale outside rounds to the origin.
      {false, -5, -5, 2.0f, {5, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    buttons.Release();
    if (c.left) buttons.PressLeft();
    EXPECT_EQ(Report(c.x, c.y, c.scale), c.out) << c.x << "," << c.y;
    // It leaves from the shared out block, in one write.
    EXPECT_EQ(Bytes(blocks.OutBlock.begin(), blocks.OutBlock.begin() + 4),
              c.out);
    EXPECT_EQ(port.writes.size(), 1u);
  }
  // Any release clears both buttons.
  buttons.PressLeft();
  buttons.PressRight();
  EXPECT_EQ(Report(10, 10), Bytes({5, 0x03, 5, 5}));
  buttons.Release();
  EXPECT_EQ(Report(10, 10), Bytes({5, 0x00, 5, 5}));
  port.open = false;
  EXPECT_TRUE(Report(100, 37).empty());
}

// Odd scales and huge or NaN values must not reach an undefined cast.
TEST_F(MouseReportTest, ScaledPositionsRoundHalvesToEvenAndStayDefined) {
  EXPECT_EQ(ImagePosition(5, 7, 1280, 892, 2.0f), (ImagePoint{2, 4}));
  EXPECT_EQ(ImagePosition(959, 668, 960, 669, 1.5f), (ImagePoint{639, 445}));
  // An unusable scale is taken as 1.
  for (float scale : {0.0f, -2.0f, NAN, INFINITY}) {
    EXPECT_EQ(ImagePosition(100, 37, 640, 446, scale), (ImagePoint{100, 37}))
        << scale;
  }
  const std::pair<double, int> rounding[] = {
      {0.5, 0}, {1.5, 2}, {-2.5, -2}, {1e20, 2147483647}, {NAN, 0}};
  for (auto [value, rounded] : rounding) {
    EXPECT_EQ(RoundHalfToEven(value), rounded) << value;
  }
}

}  // namespace
}  // namespace kestrix
