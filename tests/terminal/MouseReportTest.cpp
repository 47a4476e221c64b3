#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "support/FakePort.h"
#include "terminal/MouseReport.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Reports from the 640 x 446 inner area of an 80 x 25 window: the low bits
// of x (0x20) and y (0x10) ride in the second byte with the buttons.
TEST(MouseReportTest, NineBitPositionsAndButtonBits) {
  struct Row {
    const char* name;
    bool left, right;
    int x, y;
    Bytes out;
  };
  // clang-format off
  const Row rows[] = {
      {"x 511: low bit 0x20", false, false, 511, 0, {5, 0x20, 255, 0}},
      {"x 512 loses its top bit, y 445: 0x10", false, false, 512, 445, {5, 0x10, 0, 222}},
      {"outside: both -1", false, false, 640, 20, {5, 0x30, 0xFF, 0xFF}},
      {"left button: bit 0", true, false, 10, 10, {5, 0x01, 5, 5}},
      {"right button: bit 1", false, true, 10, 10, {5, 0x02, 5, 5}},
      {"both buttons", true, true, 11, 10, {5, 0x23, 5, 5}},
  };
  // clang-format on
  for (const Row& row : rows) {
    test::FakePort port;
    SharedBlocks blocks;
    MouseButtons buttons;
    if (row.left) buttons.PressLeft();
    if (row.right) buttons.PressRight();
    SendMouseReport(port, blocks, buttons,
                    ImagePosition(row.x, row.y, 640, 446, 1.0f));
    EXPECT_EQ(port.writes, std::vector<Bytes>{row.out}) << row.name;
    // It leaves from the shared out block.
    EXPECT_EQ(Bytes(blocks.OutBlock.begin(), blocks.OutBlock.begin() + 4),
              row.out)
        << row.name;
  }
  // Any release forgets both buttons; a closed port sends nothing.
  test::FakePort port;
  SharedBlocks blocks;
  MouseButtons buttons;
  buttons.PressLeft();
  buttons.PressRight();
  buttons.Release();
  SendMouseReport(port, blocks, buttons, {10, 10});
  EXPECT_EQ(port.Written(), Bytes({5, 0x00, 5, 5}));
  port.open = false;
  SendMouseReport(port, blocks, buttons, {10, 10});
  EXPECT_EQ(port.writes.size(), 1u);
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
