#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "loader/FileNames.h"
#include "loader/LoaderImage.h"
#include "loader/TransferContext.h"
#include "loader/UploadDriver.h"
#include "sim/SimulatedPropeller.h"
#include "support/ScriptedHost.h"
#include "support/SimulatedPropellerPort.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/EngineHarness.h"

namespace kestrix::test {
namespace {

using Lines = std::vector<std::string>;
using Options = sim::SimulatedPropeller::Options;
using Phase = sim::SimulatedPropeller::Phase;
using Outcome = UploadOutcome;

constexpr int kBannerPauseMs = 2000;

// A simulated chip on the port following a virtual clock, the terminal engine
// with a window or a console, the real logo.
struct UploadRig {
  explicit UploadRig(bool window = true, bool deviceMode = false,
                     Options options = {})
      : port(std::move(options)) {
    port.FollowClock(clock);
    CreateScreenImage(screen, 80, 25, true);
    if (auto images = LoadEmbeddedImages().images) {
      sheet = images->glyphSheet;
      logo = images->logo;
    }
    if (window) engine.SetPresenter(&watcher);
    engine.SetConsole(&watcher);
    DecoderOptions decoder;
    decoder.NormalTerminalFlag = !deviceMode;
    engine.SetOptions(decoder);
    engine.ClearScreen();
  }
  Outcome Upload(const std::string& path) {
    return UploadFile(path, context, useRts, image, logo);
  }
  Outcome Put(const std::string& name, const Bytes& bytes) {
    return Upload(
        folder.Write(name, std::string(bytes.begin(), bytes.end())).string());
  }
  // The screen's text since the upload cleared it, each line ending CR LF.
  const std::string& Text() const { return screen.ScreenText; }
  int Sleeps(int ms) const {
    return static_cast<int>(std::ranges::count(clock.sleeps, ms));
  }

  SimulatedPropellerPort port;
  VirtualClock clock;
  bool useRts = false;
  Raster sheet;
  Raster logo;
  Watcher watcher;
  Lines log;  // the host's calls
  ScriptedHost host{log};
  LoaderImage image{};
  Engine engine{sheet, port, clock};
  TerminalScreen& screen = engine.screen();
  TransferContext context{port, clock, engine, host, engine.blocks()};
  TempFolder folder;
};

// Every pixel of the logo, the home cell's included: the cursor mark that
// stood there must not cut dots into the picture.
bool LogoAtTopLeft(const Raster& screen, const Raster& logo) {
  bool same = logo.width() > 0;
  for (int y = 0; y < logo.height(); ++y)
    for (int x = 0; x < logo.width(); ++x)
      same = same && screen.At(x, y) == logo.At(x, y);
  return same;
}

TEST(UploadTest, BannerLogoHasTheCursorBelowItInEitherMode) {
  for (bool deviceMode : {true, false}) {
    SCOPED_TRACE(deviceMode ? "device mode" : "normal mode");
    UploadRig rig(true, deviceMode);
    std::pair<int, int> cursor{-1, -1};  // row, column
    Raster image;  // the screen when the banner pause begins
    rig.clock.onSleep = [&](int ms) {
      rig.port.chip.AdvanceMs(ms);
      if (ms != kBannerPauseMs || cursor.first >= 0) return;
      cursor = {rig.screen.CursorRow, rig.screen.CursorColumn};
      image = rig.screen.image;
    };
    rig.Put("prog.eeprom", Ramp<Bytes>(64, 1));
    EXPECT_EQ(cursor, std::pair(5, 0));
    EXPECT_TRUE(LogoAtTopLeft(image, rig.logo));
    // Five status lines from row 5 end on row 10 and leave the logo whole.
    EXPECT_TRUE(LogoAtTopLeft(rig.screen.image, rig.logo));
    EXPECT_EQ(rig.screen.CursorRow, 10);
    EXPECT_TRUE(rig.Text().ends_with("\n..OK -> RUN\r\n"));
    EXPECT_EQ(rig.Sleeps(kBannerPauseMs), 1);
    // An escape code here would wait for parameter bytes in 2 ms steps and
    // could leave a request for the event loop.
    EXPECT_EQ(rig.Sleeps(2), 0);
    EXPECT_EQ(rig.engine.Decode({}).ServiceRequest, 0);
  }
}

TEST(UploadTest, ConsoleGetsTheBannerAndStatusLines) {
  UploadRig rig(false);
  const Raster before = rig.screen.image;
  rig.Put("p.eeprom", Ramp<Bytes>(64, 4));
  const Lines& lines = rig.watcher.lines;
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0].substr(lines[0].size() - 2), "\r\n");  // the credit line
  EXPECT_EQ(
      Lines(lines.begin() + 1, lines.end()),
      (Lines{"Ask for a customized version\r\n",
             "for your commercial product!\r\r\n", "Start Upload\r", "\n",
             "Propeller Version = 1\r", "\n", "Write in EEPROM Lenght=32768\r",
             "\n", "Verify ..\r", "\n", "..OK -> RUN\r", "\n"}));
  EXPECT_EQ(rig.screen.image, before) << "nothing drawn, the logo neither";
  EXPECT_EQ(rig.Sleeps(kBannerPauseMs), 1);
}

TEST(UploadTest, TheFileNameAloneChoosesEepromAndFolder) {
  const struct {
    const char *path, *expected;  // the EEPROM flag, then the folder
  } cases[] = {
      // clang-format off
      {"prog.eeprom", "1 "},
      {"/work/prog.EEPROM", "0 /work/"},  // capitals are no marker
      {"/work/x.eeprom/prog.binary", "0 /work/x.eeprom/"},
      {"/work/prog.eeprom.bak", "1 /work/"},
      {"", "0 "},
#ifdef _WIN32
      {"a.eeprom\\b.binary", "0 a.eeprom\\"},
      {"C:\\w\\p.eeprom", "1 C:\\w\\"},
      {"C:p.eeprom", "1 C:"},
      {"C:\\x.eeprom/p.binary", "0 C:\\x.eeprom/"},
#else
      {"a.eeprom\\b.binary", "1 "},  // a backslash is part of the name
#endif
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::to_string(EepromModeFor(c.path)) + " " + FolderPart(c.path),
              c.expected)
        << c.path;
  }
}

TEST(UploadTest, ImagesArePaddedToLongsAndEepromImagesToTheWholeHub) {
  UploadRig rig;
  const auto padded = [](Bytes bytes, int size) {
    bytes.resize(std::size_t(size));
    return bytes;
  };
  const Bytes file = Ramp<Bytes>(30, 7);
  rig.Put("prog.binary", file);
  EXPECT_NE(rig.Text().find("\nWrite in RAM Lenght=32\r"), std::string::npos);
  EXPECT_EQ(rig.port.chip.record().command, 1);
  EXPECT_EQ(rig.port.chip.record().ImageBytes(), padded(file, 32));
  // An empty file still runs the handshake and announces a length of 0.
  rig.Put("empty.binary", {});
  EXPECT_EQ(rig.Text(),
            "Start Upload\r\nPropeller Version = 1\r\nWrite in RAM Lenght=0\r\n"
            "Verify ..\r\n..OK -> RUN\r\n");
  EXPECT_TRUE(rig.port.chip.record().ImageBytes().empty());
  // An EEPROM image after a longer one has zeros past the file.
  rig.Put("full.eeprom", Bytes(32768, 0xA5));
  const Bytes small = Ramp<Bytes>(100, 8);
  rig.Put("small.eeprom", small);
  EXPECT_EQ(rig.port.chip.record().ImageBytes(), padded(small, 32768));
}

TEST(UploadTest, RefusedFilesResetOncePurgeAndSendNothing) {
  const std::pair<const char*, const char*> cases[] = {
      {"absent.binary", "No such file"},
      {"dir.binary", "No such file"},
      {"fifo.binary", "No such file"},  // would block the open for ever
      {"big.binary", "File too long for a Propeller 1 image"}};
  for (const auto& [name, line] : cases) {
    UploadRig rig;
    std::filesystem::create_directories(rig.folder / "dir.binary");
    MakeFifo(rig.folder / "fifo.binary");
    rig.folder.Write("big.binary", std::string(32769, 'x'));
    SCOPED_TRACE(name);
    EXPECT_EQ(rig.Upload((rig.folder / name).string()), Outcome::kFileRefused);
    EXPECT_EQ(rig.Text(), "Start Upload\r\n" + std::string(line) + "\r\n");
    EXPECT_EQ(rig.port.events, (Lines{"DTR+", "DTR-", "purge", "purge"}));
    EXPECT_TRUE(rig.port.writes.empty());
  }
  UploadRig fits;  // exactly the hub's size goes through
  const Bytes file = Ramp<Bytes>(32768, 10);
  fits.Put("big.binary", file);
  EXPECT_EQ(fits.port.chip.record().ImageBytes(), file);
}

TEST(UploadTest, ClosedPortShowsOnlyTheBoxAndLeavesTheScreen) {
  UploadRig rig;
  rig.engine.PrintLine("device text");
  const Raster before = rig.screen.image;
  const std::string textBefore = rig.screen.ScreenText;
  rig.port.open = false;
  EXPECT_EQ(rig.Put("prog.eeprom", Ramp<Bytes>(8, 11)), Outcome::kNoPort);
  ASSERT_EQ(rig.log.size(), 1u);
  EXPECT_EQ(rig.log[0].substr(0, 48),
            "host box No COM / wrong number or not activated\n");
  EXPECT_EQ(rig.screen.image, before);
  EXPECT_EQ(rig.screen.ScreenText, textBefore);
  EXPECT_TRUE(rig.port.events.empty());
  EXPECT_TRUE(rig.clock.sleeps.empty());  // not even the banner pause
}

TEST(UploadTest, EachFaultShowsItsLinesAndLeavesTheChipAsExpected) {
  const std::string ram =
      "Start Upload\r\nPropeller Version = 1\r\nWrite in RAM Lenght=100\r\n"
      "Verify ..\r\n";
  const std::string eeprom =
      "Start Upload\r\nPropeller Version = 1\r\nWrite in EEPROM "
      "Lenght=32768\r\nVerify ..\r\n";
  const struct {
    const char* name;
    void (*set)(Options&);
    const char* file;
    std::string text;
    Phase chipEnds;
    Outcome outcome;
    int minClocks = 0;  // clock bytes after the handshake's 258
    int maxClocks = INT_MAX;
  } cases[] = {
      // clang-format off
      {"good RAM upload", [](auto&) {}, "a.binary", ram + "..OK -> RUN\r\n", Phase::kRunning, Outcome::kRunning},
      {"version 0", [](auto& o) { o.version = 0; }, "a.binary", "Start Upload\r\nPropeller Version = 0\r\nCode Error -> Abort", Phase::kShutDown, Outcome::kNoChip},
      {"noise before the checksum", [](auto& o) { o.noiseBeforeChecksum = {0}; }, "a.binary", ram + "Hardware lost\r\n..OK -> RUN\r\n", Phase::kRunning, Outcome::kRunning},
      {"RAM checksum error", [](auto& o) { o.checksumError = true; }, "a.binary", ram + "CheckSum Error\r\n", Phase::kRejected, Outcome::kChipError},
      // An EEPROM checksum error stops before the programming waits.
      {"EEPROM checksum error", [](auto& o) { o.checksumError = true; }, "a.eeprom", eeprom + "CheckSum Error\r\n", Phase::kRejected, Outcome::kChipError, 1, 4},
      {"no checksum reply", [](auto& o) { o.silentAfterImage = true; }, "a.binary", ram + "Time Out\r\nCheckSum Error\r\n", Phase::kHung, Outcome::kChipError, 72, 72},
      {"EEPROM write error", [](auto& o) { o.eepromWriteError = true; }, "a.eeprom", eeprom + "EEPROM write Error\r\n", Phase::kRunning, Outcome::kChipError},
      {"EEPROM verify error", [](auto& o) { o.eepromVerifyError = true; }, "a.eeprom", eeprom + "EEPROM verify Error\r\n", Phase::kRunning, Outcome::kChipError},
      // Outlasts the 5 s wait but not the verify wait: two clocks for the
      // checksum, 143 unanswered during programming.
      {"slow EEPROM", [](auto& o) { o.eepromProgramMs = 6000; }, "a.eeprom", eeprom + "Time Out\r\n..OK -> RUN\r\n", Phase::kRunning, Outcome::kRunning, 2 + 143},
      {"EEPROM never done", [](auto& o) { o.eepromProgramMs = 60'000; }, "a.eeprom", eeprom + "Time Out\r\nTime Out\r\nEEPROM verify Error\r\n", Phase::kStatus, Outcome::kChipError, 2 + 143 + 72, 2 + 143 + 72}};
  // clang-format on
  // The shut-down command as it goes over the wire: the long 0.
  Bytes shutdownLong(10, 0x92);
  shutdownLong.push_back(0xF2);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Options options;
    c.set(options);
    UploadRig rig(true, false, options);
    rig.useRts = (&c - cases) % 2;
    EXPECT_EQ(rig.Put(c.file, Ramp<Bytes>(100, 4)), c.outcome);
    EXPECT_EQ(rig.Text(), c.text);
    EXPECT_EQ(rig.port.chip.phase(), c.chipEnds);
    // Two resets through the chosen line; a finished download is purged.
    const std::string on = rig.useRts ? "RTS+" : "DTR+",
                      off = rig.useRts ? "RTS-" : "DTR-";
    const bool aborted = c.chipEnds == Phase::kShutDown;
    Lines events{on, off, "purge", on, off, "purge", "purge"};
    events.resize(aborted ? 6 : 7);
    EXPECT_EQ(rig.port.events, events);
    EXPECT_TRUE(rig.log.empty());
    const int clocks =
        static_cast<int>(std::ranges::count(rig.port.Written(), 0xF9)) - 259;
    EXPECT_GE(clocks, c.minClocks);
    EXPECT_LE(clocks, c.maxClocks);
    EXPECT_TRUE(!aborted || (!rig.port.writes.empty() &&
                             rig.port.writes.back() == shutdownLong));
  }
}

TEST(UploadTest, APortThatVanishesWhileTheChipVerifiesStopsWithOneLine) {
  UploadRig rig;
  auto advance = rig.clock.onSleep;
  rig.clock.onSleep = [&](int ms) {
    advance(ms);
    if (rig.screen.ScreenText.find("Verify ..") != std::string::npos)
      rig.port.open = false;
  };
  EXPECT_EQ(rig.Put("a.eeprom", Ramp<Bytes>(100, 4)), Outcome::kPortLost);
  EXPECT_EQ(rig.Text(),
            "Start Upload\r\nPropeller Version = 1\r\nWrite in EEPROM "
            "Lenght=32768\r\nVerify ..\r\nHardware lost\r\n");
}

}  // namespace
}  // namespace kestrix::test
