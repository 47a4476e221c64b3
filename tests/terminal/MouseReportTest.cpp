#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "support/FakePort.h"
#include "terminal/MouseReport.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Reports from the 640 x 446 inner area of an 80 x 25 window.
TEST(MouseReportTest, NineBitPositionsAndButtonsOnTheWire) {
  test::FakePort port;
  SharedBlocks blocks;
  MouseButtons buttons;
  auto report = [&](int x, int y) {
    port.writes.clear();
    SendMouseReport(port, blocks, buttons, ImagePosition(x, y, 640, 446, 1.0f));
    EXPECT_LE(port.writes.size(), 1u);  // in one write
    return port.Written();
  };
  // The low bits of x (0x20) and y (0x10) ride in the second byte; 512 loses
  // its top bit; just outside is -1.
  EXPECT_EQ(report(511, 0), Bytes({5, 0x20, 255, 0}));
  EXPECT_EQ(report(512, 445), Bytes({5, 0x10, 0, 222}));
  EXPECT_EQ(report(640, 20), Bytes({5, 0x30, 0xFF, 0xFF}));
  // It leaves from the shared out block; any release clears both buttons.
  buttons.PressLeft();
  buttons.PressRight();
  EXPECT_EQ(report(10, 10), Bytes({5, 0x03, 5, 5}));
  EXPECT_EQ(Bytes(blocks.OutBlock.begin(), blocks.OutBlock.begin() + 4),
            Bytes({5, 0x03, 5, 5}));
  buttons.Release();
  EXPECT_EQ(report(10, 10), Bytes({5, 0x00, 5, 5}));
  port.open = false;
  EXPECT_TRUE(report(100, 37).empty());
}

// Odd scales and huge or NaN values must not reach an undefined cast.
TEST(MouseReportTest, ScaledPositionsRoundHalvesToEvenAndStayDefined) {
  EXPECT_EQ(ImagePosition(5, 7, 1280, 892, 2.0f), (ImagePoint{2, 4}));
  EXPECT_EQ(ImagePosition(959, 668, 960, 669, 1.5f), (ImagePoint{639, 445}));
  EXPECT_EQ(ImagePosition(-5, -5, 1280, 892, 2.0f), (ImagePoint{0, 0}));
  // An unusable scale is taken as 1.
  for (float scale : {0.0f, -2.0f, NAN, INFINITY}) {
    EXPECT_EQ(ImagePosition(100, 37, 640, 446, scale), (ImagePoint{100, 37}))
        << scale;
  }
}

}  // namespace
}  // namespace kestrix
