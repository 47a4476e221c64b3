// The banner before EEPROM uploads, and the upload's lines on the console
// when there is no window.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "loader/UploadTestRig.h"
#include "sim/SimulatedPropeller.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;
using test::UploadRig;

constexpr int kBannerPauseMs = 2000;

// Every pixel of the logo, the home cell's included: the cursor mark that
// stood there must not cut dots into the picture.
bool LogoAtTopLeft(const Raster& screen, const Raster& logo) {
  if (logo.width() == 0) return false;
  for (int y = 0; y < logo.height(); ++y) {
    for (int x = 0; x < logo.width(); ++x) {
      if (screen.At(x, y) != logo.At(x, y)) return false;
    }
  }
  return true;
}

int SleepsOf(const UploadRig& rig, int ms) {
  return static_cast<int>(
      std::count(rig.clock.sleeps.begin(), rig.clock.sleeps.end(), ms));
}

TEST(UploadBannerTest, LogoIsDrawnWithTheCursorBelowItInEitherMode) {
  for (bool deviceMode : {true, false}) {
    SCOPED_TRACE(deviceMode ? "device mode" : "normal mode");
    UploadRig rig(UploadRig::Output::kWindow, deviceMode);
    // A picture of the screen when the banner pause begins.
    bool seen = false;
    int row = -1, column = -1;
    Raster image;
    rig.clock.onSleep = [&](int ms) {
      rig.chip.AdvanceMs(ms);
      if (ms != kBannerPauseMs || seen) return;
      seen = true;
      row = rig.screen.CursorRow;
      column = rig.screen.CursorColumn;
      image = rig.screen.image;
    };
    rig.Upload(rig.Write("prog.eeprom", test::PatternBytes(64, 1)));
    EXPECT_TRUE(seen);
    EXPECT_EQ(row, 5);
    EXPECT_EQ(column, 0);
    EXPECT_TRUE(LogoAtTopLeft(image, rig.logo));
    // Five status lines from row 5 end on row 10 and leave the logo whole.
    EXPECT_TRUE(LogoAtTopLeft(rig.screen.image, rig.logo));
    EXPECT_EQ(rig.screen.CursorRow, 10);
    EXPECT_EQ(rig.ScreenLines().back(), "..OK -> RUN");
    EXPECT_EQ(SleepsOf(rig, kBannerPauseMs), 1);
    // An escape code here would wait for parameter bytes from the port in
    // 2 ms steps and could leave a request for the event loop.
    EXPECT_EQ(SleepsOf(rig, 2), 0);
    EXPECT_EQ(rig.engine.Decode({}).ServiceRequest, 0);
  }
}

TEST(UploadBannerTest, ConsoleGetsTheBannerAndStatusLines) {
  UploadRig normal(UploadRig::Output::kConsole, /*deviceMode=*/false);
  const Raster before = normal.screen.image;
  normal.Upload(normal.Write("p.eeprom", test::PatternBytes(64, 4)));
  const Lines& lines = normal.watcher.lines;
  ASSERT_EQ(lines.size(), 13u);
  // The credit line is free text, ending like the others.
  EXPECT_EQ(lines[0].substr(lines[0].size() - 2), "\r\n");
  EXPECT_EQ(
      Lines(lines.begin() + 1, lines.end()),
      (Lines{"Ask for a customized version\r\n",
             "for your commercial product!\r\r\n", "Start Upload\r", "\n",
             "Propeller Version = 1\r", "\n", "Write in EEPROM Lenght=32768\r",
             "\n", "Verify ..\r", "\n", "..OK -> RUN\r", "\n"}));
  EXPECT_EQ(normal.screen.image, before) << "nothing drawn, the logo neither";
  EXPECT_EQ(SleepsOf(normal, kBannerPauseMs), 1);
}

}  // namespace
}  // namespace kestrix
