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

TEST_F(MouseReportTest, LeftButtonAtOddRowAndEvenColumn) {
  buttons.PressLeft();
  EXPECT_EQ(Report(100, 37), Bytes({5, 0x11, 50, 18}));
}

TEST_F(MouseReportTest, CoordinatesBeyondEightBitsKeepTheirLowNineBits) {
  EXPECT_EQ(Report(600, 0), Bytes({5, 0x00, 44, 0}));
  Bytes edge = Report(511, 0);
  EXPECT_EQ(Decode(edge).x, 511);
  // 512 loses its top bit on the wire.
  EXPECT_EQ(Decode(Report(512, 0)).x, 0);
}

TEST_F(MouseReportTest, SmallCoordinatesRoundTripThroughTheDevicesDecoding) {
  buttons.PressRight();
  for (int x : {0, 1, 2, 255, 256, 257, 400}) {
    DecodedReport r = Decode(Report(x, 445 - x));
    EXPECT_EQ(r.buttons, 2);
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, 445 - x);
  }
}

TEST_F(MouseReportTest, OutsideTheWindowReadsAsMinusOne) {
  EXPECT_EQ(Report(-5, 20), Bytes({5, 0x30, 0xFF, 0xFF}));
  EXPECT_EQ(Report(kInnerWidth, 20), Bytes({5, 0x30, 0xFF, 0xFF}));
  EXPECT_EQ(Report(20, kInnerHeight), Bytes({5, 0x30, 0xFF, 0xFF}));
  buttons.PressLeft();
  EXPECT_EQ(Report(20, -1), Bytes({5, 0x31, 0xFF, 0xFF}));
}

TEST_F(MouseReportTest, OutsideAtDoubleScaleRoundsToTheOrigin) {
  EXPECT_EQ(Report(-5, -5, 2.0f), Bytes({5, 0, 0, 0}));
}

TEST_F(MouseReportTest, ScaledPositionsRoundHalvesToEven) {
  // 5 / 2 = 2.5 -> 2, 7 / 2 = 3.5 -> 4.
  DecodedReport r = Decode(Report(5, 7, 2.0f));
  EXPECT_EQ(r.x, 2);
  EXPECT_EQ(r.y, 4);
  // 4 / 1.5 = 2.67 -> 3, 2 / 1.5 = 1.33 -> 1.
  r = Decode(Report(4, 2, 1.5f));
  EXPECT_EQ(r.x, 3);
  EXPECT_EQ(r.y, 1);
  // The far corner of a 960 by 669 inner area.
  EXPECT_EQ(ImagePosition(959, 668, 960, 669, 1.5f), (ImagePoint{639, 445}));
}

TEST_F(MouseReportTest, RoundHalfToEvenOnBothSidesOfZero) {
  EXPECT_EQ(RoundHalfToEven(0.5), 0);
  EXPECT_EQ(RoundHalfToEven(1.5), 2);
  EXPECT_EQ(RoundHalfToEven(2.5), 2);
  EXPECT_EQ(RoundHalfToEven(658.5), 658);
  EXPECT_EQ(RoundHalfToEven(2.5000001), 3);
  EXPECT_EQ(RoundHalfToEven(-0.5), 0);
  EXPECT_EQ(RoundHalfToEven(-1.5), -2);
  EXPECT_EQ(RoundHalfToEven(-2.5), -2);
  EXPECT_EQ(RoundHalfToEven(-0.7), -1);
  EXPECT_EQ(RoundHalfToEven(1e20), 2147483647);
  EXPECT_EQ(RoundHalfToEven(NAN), 0);
}

TEST_F(MouseReportTest, UnusableScaleIsTakenAsOne) {
  EXPECT_EQ(ImagePosition(100, 37, 640, 446, 0.0f), (ImagePoint{100, 37}));
  EXPECT_EQ(ImagePosition(100, 37, 640, 446, -2.0f), (ImagePoint{100, 37}));
  EXPECT_EQ(ImagePosition(100, 37, 640, 446, NAN), (ImagePoint{100, 37}));
  EXPECT_EQ(ImagePosition(100, 37, 640, 446, INFINITY), (ImagePoint{100, 37}));
}

TEST_F(MouseReportTest, AnyReleaseClearsEveryButton) {
  buttons.PressLeft();
  buttons.PressRight();
  EXPECT_EQ(Decode(Report(10, 10)).buttons, 3);
  buttons.Release();  // the right one; left is still down
  Bytes afterRelease = Report(10, 10);
  EXPECT_EQ(afterRelease, Bytes({5, 0x00, 5, 5}));
}

TEST_F(MouseReportTest, ClosedPortSendsNothing) {
  port.open = false;
  buttons.PressLeft();
  EXPECT_TRUE(Report(100, 37).empty());
  EXPECT_EQ(blocks.OutBlock[0], 0);
}

TEST_F(MouseReportTest, ReportLeavesFromTheSharedOutBlock) {
  buttons.PressLeft();
  Report(100, 37);
  EXPECT_EQ(Bytes(blocks.OutBlock.begin(), blocks.OutBlock.begin() + 4),
            Bytes({5, 0x11, 50, 18}));
  ASSERT_EQ(port.writes.size(), 1u);
}

}  // namespace
}  // namespace kestrix
