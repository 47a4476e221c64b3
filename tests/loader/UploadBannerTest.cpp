// The banner before EEPROM uploads and the upload's lines on the console
// when the program runs without a window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/UploadTestRig.h"
#include "support/SimulatedPropeller.h"
#include "terminal/EmbeddedImages.h"

namespace kestrix {
namespace {

using Lines = std::vector<std::string>;
using test::UploadRig;

constexpr int kBannerPauseMs = 2000;

// What the screen looked like while the banner was being shown.
struct BannerMoment {
  bool seen = false;
  int cursorRow = -1;
  int cursorColumn = -1;
  Raster image;
};

// Keeps the chip's time following the clock and takes a picture of the
// screen when the banner pause begins.
void WatchBanner(UploadRig& rig, BannerMoment& moment) {
  rig.clock.onSleep = [&rig, &moment](int ms) {
    rig.chip.AdvanceMs(ms);
    if (ms == kBannerPauseMs && !moment.seen) {
      moment.seen = true;
      moment.cursorRow = rig.screen.CursorRow;
      moment.cursorColumn = rig.screen.CursorColumn;
      moment.image = rig.screen.image;
    }
  };
}

// Every pixel of the logo, the home cell's included: the cursor mark that
// stood there must not cut dots into the picture.
bool LogoAtTopLeft(const Raster& screen, const Raster& logo) {
  for (int y = 0; y < logo.height(); ++y) {
    for (int x = 0; x < logo.width(); ++x) {
      if (screen.At(x, y) != logo.At(x, y)) return false;
    }
  }
  return true;
}

int SleepsOf(const UploadRig& rig, int ms) {
  int n = 0;
  for (int s : rig.clock.sleeps) n += s == ms ? 1 : 0;
  return n;
}

class UploadBannerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    auto images = LoadEmbeddedImages(&error);
    ASSERT_TRUE(images.has_value()) << error;
    ASSERT_EQ(images->logo.width(), kLogoWidth);
    ASSERT_EQ(images->logo.height(), kLogoHeight);
  }
};

TEST_F(UploadBannerTest, LogoIsDrawnWithTheCursorBelowItInEitherMode) {
  for (bool deviceMode : {true, false}) {
    UploadRig rig(UploadRig::Output::kWindow, deviceMode);
    BannerMoment moment;
    WatchBanner(rig, moment);
    rig.Upload(rig.folder.Write("prog.eeprom", test::PatternBytes(64, 1)));

    ASSERT_TRUE(moment.seen) << deviceMode;
    EXPECT_EQ(moment.cursorRow, 5) << deviceMode;
    EXPECT_EQ(moment.cursorColumn, 0) << deviceMode;
    EXPECT_TRUE(LogoAtTopLeft(moment.image, rig.logo)) << deviceMode;
    // The status lines go below the logo and leave it whole: five lines from
    // row 5 end on row 10.
    EXPECT_TRUE(LogoAtTopLeft(rig.screen.image, rig.logo)) << deviceMode;
    EXPECT_EQ(rig.screen.CursorRow, 10) << deviceMode;
    EXPECT_EQ(rig.ScreenLines().back(), "..OK -> RUN") << deviceMode;
    EXPECT_EQ(SleepsOf(rig, kBannerPauseMs), 1) << deviceMode;
    // An escape code here would wait for parameter bytes from the port in
    // 2 ms steps and could leave a request for the event loop.
    EXPECT_EQ(SleepsOf(rig, 2), 0) << deviceMode;
    EXPECT_EQ(rig.decoder.ServiceRequest, 0) << deviceMode;
  }
}

TEST_F(UploadBannerTest, RamUploadShowsNoBanner) {
  UploadRig rig(UploadRig::Output::kWindow, /*deviceMode=*/true);
  rig.Upload(rig.folder.Write("prog.binary", test::PatternBytes(64, 3)));
  EXPECT_EQ(SleepsOf(rig, kBannerPauseMs), 0);
  EXPECT_FALSE(LogoAtTopLeft(rig.screen.image, rig.logo));
  EXPECT_EQ(rig.ScreenLines().front(), "Start Upload");
}

TEST_F(UploadBannerTest, ConsoleNormalModeGetsBannerLinesAndExtraLineFeeds) {
  UploadRig rig(UploadRig::Output::kConsole, /*deviceMode=*/false);
  const Raster before = rig.screen.image;
  rig.Upload(rig.folder.Write("prog.eeprom", test::PatternBytes(64, 4)));

  const Lines& lines = rig.console.lines;
  ASSERT_EQ(lines.size(), 13u);
  // The credit line is free text; it is one line ending like the others.
  EXPECT_GT(lines[0].size(), 2u);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 2), "\r\n");
  EXPECT_EQ(lines[1], "Ask for a customized version\r\n");
  EXPECT_EQ(lines[2], "for your commercial product!\r\r\n");
  EXPECT_EQ(Lines(lines.begin() + 3, lines.end()),
            (Lines{"Start Upload\r", "\n", "Propeller Version = 1\r", "\n",
                   "Write in EEPROM Lenght=32768\r", "\n", "Verify ..\r", "\n",
                   "..OK -> RUN\r", "\n"}));
  // Without a window nothing is drawn, the logo neither.
  EXPECT_EQ(rig.screen.image, before);
  EXPECT_EQ(SleepsOf(rig, kBannerPauseMs), 1);
  EXPECT_EQ(rig.chip.record().lengthLongs, 8192);
}

TEST_F(UploadBannerTest, ConsoleDeviceModeLinesEndInCrOnly) {
  UploadRig rig(UploadRig::Output::kConsole, /*deviceMode=*/true);
  rig.Upload(rig.folder.Write("prog.eeprom", test::PatternBytes(64, 5)));
  const Lines& lines = rig.console.lines;
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0].back(), '\r');
  EXPECT_EQ(Lines(lines.begin() + 1, lines.end()),
            (Lines{"Ask for a customized version\r",
                   "for your commercial product!\r\r", "Start Upload\r",
                   "Propeller Version = 1\r", "Write in EEPROM Lenght=32768\r",
                   "Verify ..\r", "..OK -> RUN\r"}));
}

TEST_F(UploadBannerTest, ConsoleShowsTheAbortTextAsItStands) {
  test::SimulatedPropeller::Options silent;
  silent.silent = true;
  UploadRig rig(UploadRig::Output::kConsole, /*deviceMode=*/true, silent);
  rig.Upload(rig.folder.Write("prog.binary", test::PatternBytes(8, 6)));
  EXPECT_EQ(rig.console.lines,
            (Lines{"Start Upload\r", "Time Out\r", "Code Error -> Abort"}));
}

}  // namespace
}  // namespace kestrix
