#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "app/MouseReport.h"
#include "support/FakePort.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The 640 by 446 inner area of an 80 by 25 window at scale 1.
constexpr int kInnerWidth = 640;
constexpr int kInnerHeight = 446;

// What the device reconstructs from a report: the buttons and both 9-bit
// coordinates (byte * 2 + low bit).
struct DecodedReport {
  int buttons;
  int x;
  int y;
};

DecodedReport Decode(const Bytes& report) {
  return {report[1] & 0x03, report[2] * 2 + ((report[1] >> 5) & 1),
          report[3] * 2 + ((report[1] >> 4) & 1)};
}

class MouseReportTest : public ::testing::Test {
 protected:
  Bytes Report(int innerX, int innerY, float scale = 1.0f) {
    port.writes.clear();
    ImagePoint at =
        ImagePosition(innerX, innerY, static_cast<int>(kInnerWidth * scale),
                      static_cast<int>(kInnerHeight * scale), scale);
    SendMouseReport(port, blocks, buttons, at);
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
      // Odd row, even column: the low bits ride in the second byte.
      {true, 100, 37, 1.0f, {5, 0x11, 50, 18}},
      // Beyond eight bits the low nine bits are kept.
      {false, 600, 0, 1.0f, {5, 0x00, 44, 0}},
      // Outside the window reads as -1.
      {false, -5, 20, 1.0f, {5, 0x30, 0xFF, 0xFF}},
      {false, kInnerWidth, 20, 1.0f, {5, 0x30, 0xFF, 0xFF}},
      {false, 20, kInnerHeight, 1.0f, {5, 0x30, 0xFF, 0xFF}},
      {true, 20, -1, 1.0f, {5, 0x31, 0xFF, 0xFF}},
      // At double scale outside rounds to the origin.
      {false, -5, -5, 2.0f, {5, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    buttons.Release();
    if (c.left) buttons.PressLeft();
    EXPECT_EQ(Report(c.x, c.y, c.scale), c.out) << c.x << "," << c.y;
    // The report leaves from the shared out block, in one write.
    EXPECT_EQ(Bytes(blocks.OutBlock.begin(), blocks.OutBlock.begin() + 4),
              c.out);
    EXPECT_EQ(port.writes.size(), 1u);
  }
  EXPECT_EQ(Decode(Report(511, 0)).x, 511);
  // 512 loses its top bit on the wire.
  EXPECT_EQ(Decode(Report(512, 0)).x, 0);
  buttons.PressRight();
  for (int x : {0, 1, 2, 255, 256, 257, 400}) {
    DecodedReport r = Decode(Report(x, 445 - x));
    EXPECT_EQ(r.buttons, 2);
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, 445 - x);
  }
}

TEST_F(MouseReportTest, ScaledPositionsRoundHalvesToEven) {
  // 5 / 2 = 2.5 -> 2, 7 / 2 = 3.5 -> 4.
  EXPECT_EQ(ImagePosition(5, 7, 1280, 892, 2.0f), (ImagePoint{2, 4}));
  // 4 / 1.5 = 2.67 -> 3, 2 / 1.5 = 1.33 -> 1.
  EXPECT_EQ(ImagePosition(4, 2, 960, 669, 1.5f), (ImagePoint{3, 1}));
  // The far corner of a 960 by 669 inner area.
  EXPECT_EQ(ImagePosition(959, 668, 960, 669, 1.5f), (ImagePoint{639, 445}));
  // An unusable scale is taken as 1.
  for (float scale : {0.0f, -2.0f, NAN, INFINITY}) {
    EXPECT_EQ(ImagePosition(100, 37, 640, 446, scale), (ImagePoint{100, 37}))
        << scale;
  }
  const std::pair<double, int> rounding[] = {
      {0.5, 0},       {1.5, 2},           {2.5, 2},   {658.5, 658},
      {2.5000001, 3}, {-0.5, 0},          {-1.5, -2}, {-2.5, -2},
      {-0.7, -1},     {1e20, 2147483647}, {NAN, 0},
  };
  for (auto [value, rounded] : rounding) {
    EXPECT_EQ(RoundHalfToEven(value), rounded) << value;
  }
}

TEST_F(MouseReportTest, AnyReleaseClearsEveryButtonAndClosedPortSendsNothing) {
  buttons.PressLeft();
  buttons.PressRight();
  EXPECT_EQ(Decode(Report(10, 10)).buttons, 3);
  buttons.Release();  // the right one; left is still down
  EXPECT_EQ(Report(10, 10), Bytes({5, 0x00, 5, 5}));

  blocks.OutBlock[0] = 0;
  port.open = false;
  buttons.PressLeft();
  EXPECT_TRUE(Report(100, 37).empty());
  EXPECT_EQ(blocks.OutBlock[0], 0);
}

}  // namespace
}  // namespace kestrix
