#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

// A settings file with every key, so no reader default creeps in.
std::string Ini(const std::string& changes) {
  std::string config =
      "ComNr=6\r\nFT232R=0\r\nUseRTS=0\r\nBinPath=\r\nAutoDis=1\r\n"
      "VKeys=0\r\nTxtCurs=1\r\nMsMoveOff=1\r\nBaudRate=0\r\nCRmode=0\r\n"
      "Rows=25\r\nCols=80\r\nAutoload=\r\nInversScreenshot=0\r\n"
      "WindowScale=1.0\r\n";
  // Later lines do not override earlier ones, so changes go first.
  return "[Config]\r\n" + changes + config;
}

TEST(ProgramStartupTest, WithoutArgumentsOrFileStartsWithTheStartValues) {
  ProgramRig rig;
  rig.Start();
  int w = 0, h = 0;
  rig.p().WindowInnerSize(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 446);
  EXPECT_EQ(rig.p().screen.image.width(), 640);
  EXPECT_EQ(rig.p().screen.image.height(), 425 + 21);

  EXPECT_TRUE(rig.view.IsChecked(kMenuAutoMode));
  EXPECT_FALSE(rig.view.IsChecked(kMenuVirtualKeycodes));
  EXPECT_TRUE(rig.view.IsChecked(kMenuTextCursor));
  EXPECT_TRUE(rig.view.IsChecked(kMenuNormalTerminal));
  EXPECT_FALSE(rig.view.IsChecked(kMenuCrAutoLf));
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));

  EXPECT_EQ(rig.port.events, (std::vector<std::string>{"open 6 @0 ft0"}));
  EXPECT_TRUE(rig.host.boxes.empty());
  // BaudRate 0 equals the applied start value: no item checked, no call.
  EXPECT_TRUE(rig.view.CheckedAmong(kMenuBaudFirst, kMenuBaudLast).empty());
  for (int id = kMenuBaudFirst; id <= kMenuBaudLast; ++id) {
    EXPECT_TRUE(rig.view.IsEnabled(id)) << id;
  }
}

TEST(ProgramStartupTest, ScreenIsClearedOnceBeforeConnectingAndAgainAfter) {
  ProgramRig rig;
  rig.Start();
  const int firstPresent = rig.Find("present");
  const int open = rig.Find("port open 6 @0 ft0");
  ASSERT_GE(firstPresent, 0);
  ASSERT_GE(open, 0);
  EXPECT_LT(firstPresent, open);
  EXPECT_GE(rig.Find("present", open), 0);
  EXPECT_EQ(rig.presenter.presents, 2);
}

TEST(ProgramStartupTest, SettingsFileShapesMarksWindowAndPort) {
  ProgramRig rig({"my.ini"});
  rig.WriteFile("my.ini",
                Ini("ComNr=9\r\nFT232R=1\r\nAutoDis=0\r\nVKeys=1\r\n"
                    "TxtCurs=0\r\nCRmode=1\r\nBaudRate=3\r\nCols=100\r\n"
                    "Rows=30\r\nWindowScale=1.5\r\n"));
  rig.port.existingPorts = {9};
  rig.Start();
  int w = 0, h = 0;
  rig.p().WindowInnerSize(&w, &h);
  EXPECT_EQ(w, 1200);
  EXPECT_EQ(h, 786);
  EXPECT_EQ(rig.p().screen.image.width(), 800);
  EXPECT_EQ(rig.p().screen.image.height(), 30 * 17 + 21);

  EXPECT_FALSE(rig.view.IsChecked(kMenuAutoMode));
  EXPECT_TRUE(rig.view.IsChecked(kMenuVirtualKeycodes));
  EXPECT_FALSE(rig.view.IsChecked(kMenuTextCursor));
  EXPECT_TRUE(rig.view.IsChecked(kMenuCrAutoLf));
  // The port opens at the stored rate, and the refresh applies it again.
  EXPECT_EQ(rig.port.events,
            (std::vector<std::string>{"open 9 @3 ft1", "baud 3"}));
  EXPECT_EQ(rig.view.CheckedAmong(kMenuBaudFirst, kMenuBaudLast),
            (std::vector<int>{kMenuBaudFirst + 3}));
  EXPECT_EQ(rig.p().AppliedBaud, 3);
}

TEST(ProgramStartupTest, HalfPixelSizesRoundToTheEvenNeighbour) {
  ProgramRig rig;
  rig.WriteFile("Kestrix2.ini", Ini("WindowScale=1.5\r\n"));
  rig.p().LoadStartupSettings();
  int w = 0, h = 0;
  rig.p().WindowInnerSize(&w, &h);
  EXPECT_EQ(w, 960);
  EXPECT_EQ(h, 658);
}

TEST(ProgramStartupTest, DeviceDisplayModeForces115200AndDisablesSlowRates) {
  ProgramRig rig;
  rig.WriteFile("Kestrix2.ini", Ini("MsMoveOff=0\r\nBaudRate=4\r\n"));
  rig.Start();
  EXPECT_FALSE(rig.view.IsChecked(kMenuNormalTerminal));
  EXPECT_EQ(rig.settings().BaudRate, 0);
  EXPECT_TRUE(rig.view.IsEnabled(kMenuBaudFirst));
  for (int id = kMenuBaudFirst + 1; id <= kMenuBaudLast; ++id) {
    EXPECT_FALSE(rig.view.IsEnabled(id)) << id;
  }
  // Opened at the stored index; forced back to 0 equals the applied 0.
  EXPECT_EQ(rig.port.events, (std::vector<std::string>{"open 6 @4 ft0"}));
}

TEST(ProgramStartupTest, SettingsFileNamedDashLIsReadInWindowMode) {
  ProgramRig rig({"-L", "3"});
  rig.WriteFile("-L", Ini("ComNr=4\r\n"));
  rig.port.existingPorts = {4};
  rig.Start();
  EXPECT_FALSE(rig.p().commandLine().consoleUpload);
  EXPECT_EQ(rig.port.EventsOf({"open"}),
            (std::vector<std::string>{"open 4 @0 ft0"}));
}

TEST(ProgramStartupTest, MissingPortShowsTheBoxAndLeavesComEnabledClear) {
  ProgramRig rig;
  rig.port.existingPorts = {};
  rig.Start();
  ASSERT_EQ(rig.host.boxes.size(), 1u);
  EXPECT_EQ(rig.host.boxes[0].first, "Error");
  EXPECT_EQ(rig.host.boxes[0].second, "COM port not found");
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_FALSE(rig.port.IsOpen());
  // The loop then polls nothing.
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.port.readCalls, 0);
}

TEST(ProgramStartupTest, PortNumberZeroSearchesAllPortsBeforeConnecting) {
  ProgramRig rig;
  rig.WriteFile("Kestrix2.ini", Ini("ComNr=0\r\n"));
  rig.port.existingPorts = {};
  rig.Start();
  const auto opens = rig.port.EventsOf({"open"});
  ASSERT_EQ(opens.size(), 64u);
  for (int n = 1; n <= 63; ++n) {
    EXPECT_EQ(opens[static_cast<std::size_t>(n - 1)],
              "open " + std::to_string(n) + " @0 ft0 failed");
  }
  EXPECT_EQ(opens.back(), "open 0 @0 ft0 failed");
  EXPECT_EQ(rig.settings().ComNr, 0);
  EXPECT_EQ(rig.LogOf("host box"),
            (std::vector<std::string>{"host box Error / COM port not found"}));
}

TEST(ProgramStartupTest, ConfiguredPortIsNotSearched) {
  ProgramRig rig;
  rig.Start();
  EXPECT_EQ(rig.port.EventsOf({"open"}).size(), 1u);
}

TEST(ProgramStartupTest, DashAReplacesTheAutoloadOfTheFile) {
  ProgramRig rig({"my.ini", "-A", ""});
  rig.WriteFile("my.ini", Ini("Autoload=other.binary\r\n"));
  rig.Start();
  EXPECT_EQ(rig.settings().Autoload, "");
  EXPECT_TRUE(rig.LogOf("port DTR").empty());
}

TEST(ProgramStartupTest, AutoloadRunsAfterConnectingAndBeforeTheRefresh) {
  ProgramRig rig({"my.ini", "-A", ""});
  rig.WriteFile("my.ini", Ini("BaudRate=2\r\n"));
  rig.WriteFile("demo.binary", std::string(8, '\0'));
  rig.program = std::make_unique<Program>(
      ProgramServices{rig.port, rig.clock, rig.host, rig.images, rig.folder},
      ParseCommandLine({"my.ini", "-A", rig.PathOf("demo.binary")}));
  rig.Start();
  const int open = rig.Find("port open 6 @2 ft0");
  const int reset = rig.Find("port DTR+");
  const int refresh = rig.Find("port baud 2");
  ASSERT_GE(open, 0);
  ASSERT_GE(reset, 0);
  ASSERT_GE(refresh, 0);
  EXPECT_LT(open, reset);
  EXPECT_LT(reset, refresh);
  // An existing file gets the second reset before the handshake.
  EXPECT_EQ(rig.port.EventsOf({"DTR+"}).size(), 2u);
  EXPECT_EQ(rig.p().screen.ScreenText.find("No such file"), std::string::npos);
}

TEST(ProgramStartupTest, AutoloadWaitsForAnOpenPort) {
  ProgramRig rig({"my.ini", "-A", "demo.binary"});
  rig.port.existingPorts = {};
  rig.Start();
  EXPECT_TRUE(rig.port.EventsOf({"DTR", "RTS"}).empty());
  // Only the connect failure, not the upload's "No COM".
  EXPECT_EQ(rig.host.boxes.size(), 1u);
}

TEST(ProgramStartupTest, ShutdownClosesAnOpenPort) {
  ProgramRig rig;
  rig.Start();
  rig.p().Shutdown();
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(rig.port.events.back(), "close");
}

}  // namespace
}  // namespace kestrix::test
