#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

// A settings file with every key, so no reader default creeps in.
std::string Ini(const std::string& changes) {
  // Later lines do not override earlier ones, so changes go first.
  return "[Config]\r\n" + changes +
         "ComNr=6\r\nFT232R=0\r\nUseRTS=0\r\nBinPath=\r\nAutoDis=1\r\n"
         "VKeys=0\r\nTxtCurs=1\r\nMsMoveOff=1\r\nBaudRate=0\r\nCRmode=0\r\n"
         "Rows=25\r\nCols=80\r\nAutoload=\r\nInversScreenshot=0\r\n"
         "WindowScale=1.0\r\n";
}

TEST(ProgramStartupTest, WindowAndScreenSizesFollowGridAndScale) {
  struct Case {
    const char* ini;  // nullptr: no settings file at all
    int width, height, imageWidth, imageHeight;
  };
  const Case cases[] = {
      {nullptr, 640, 446, 640, 425 + 21},
      // Half pixels round to the even neighbour.
      {"WindowScale=1.5\r\n", 960, 658, 640, 446},
      {"Cols=100\r\nRows=30\r\nWindowScale=1.5\r\n", 1200, 786, 800,
       30 * 17 + 21},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ini ? c.ini : "no file");
    ProgramRig rig;
    if (c.ini) rig.WriteFile("Kestrix2.ini", Ini(c.ini));
    rig.Start();
    int w = 0, h = 0;
    rig.p().WindowInnerSize(&w, &h);
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(h, c.height);
    EXPECT_EQ(rig.p().screen.image.width(), c.imageWidth);
    EXPECT_EQ(rig.p().screen.image.height(), c.imageHeight);
  }
}

TEST(ProgramStartupTest, WithoutArgumentsOrFileConnectsCom6WithStartMarks) {
  ProgramRig rig;
  rig.Start();
  // BaudRate 0 equals the applied start value: no baud item checked, none
  // disabled, no extra call.
  EXPECT_EQ(rig.view.checked,
            (std::set<int>{kMenuAutoMode, kMenuTextCursor, kMenuNormalTerminal,
                           kMenuComEnabled}));
  EXPECT_TRUE(rig.view.disabled.empty());
  EXPECT_EQ(rig.Of("port"), Lines{"open 6 @0 ft0"});
  EXPECT_TRUE(rig.Of("host").empty());
  // The screen is cleared once before connecting and again after.
  const int open = rig.Find("port open 6 @0 ft0");
  EXPECT_LT(rig.Find("present"), open);
  EXPECT_GT(rig.Find("present", open), open);
  EXPECT_EQ(rig.Count("present"), 2);

  rig.p().Shutdown();
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(rig.Of("port").back(), "close");
}

TEST(ProgramStartupTest, SettingsFileShapesMarksAndPort) {
  ProgramRig rig({"my.ini"});
  rig.WriteFile("my.ini", Ini("ComNr=9\r\nFT232R=1\r\nAutoDis=0\r\nVKeys=1\r\n"
                              "TxtCurs=0\r\nCRmode=1\r\nBaudRate=3\r\n"));
  rig.port.existingPorts = {9};
  rig.Start();
  EXPECT_EQ(
      rig.view.checked,
      (std::set<int>{kMenuVirtualKeycodes, kMenuCrAutoLf, kMenuNormalTerminal,
                     kMenuComEnabled, kMenuBaudFirst + 3}));
  // The port opens at the stored rate, and the refresh applies it again.
  EXPECT_EQ(rig.Of("port"), (Lines{"open 9 @3 ft1", "baud 3"}));
  EXPECT_EQ(rig.p().AppliedBaud, 3);
}

TEST(ProgramStartupTest, DeviceDisplayModeForces115200AndDisablesSlowRates) {
  ProgramRig rig;
  rig.WriteFile("Kestrix2.ini", Ini("MsMoveOff=0\r\nBaudRate=4\r\n"));
  rig.Start();
  EXPECT_FALSE(rig.view.IsChecked(kMenuNormalTerminal));
  EXPECT_EQ(rig.settings().BaudRate, 0);
  EXPECT_EQ(rig.view.disabled, (std::set<int>{20, 21, 22, 23, 24, 25, 26}));
  // Opened at the stored index; forced back to 0 equals the applied 0.
  EXPECT_EQ(rig.Of("port"), Lines{"open 6 @4 ft0"});
}

TEST(ProgramStartupTest, SettingsFileNamedDashLIsReadInWindowMode) {
  ProgramRig rig({"-L", "3"});
  rig.WriteFile("-L", Ini("ComNr=4\r\n"));
  rig.port.existingPorts = {4};
  rig.Start();
  EXPECT_FALSE(rig.p().commandLine().consoleUpload);
  EXPECT_EQ(rig.Of("port"), Lines{"open 4 @0 ft0"});
}

TEST(ProgramStartupTest, MissingPortShowsTheBoxAndIsNotPolled) {
  ProgramRig rig;
  rig.port.existingPorts = {};
  rig.Start();
  EXPECT_EQ(rig.Of("host"), Lines{"box Error / COM port not found"});
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_FALSE(rig.port.IsOpen());
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.port.readCalls, 0);
}

TEST(ProgramStartupTest, PortNumberZeroSearchesAllPortsBeforeConnecting) {
  ProgramRig rig;
  rig.WriteFile("Kestrix2.ini", Ini("ComNr=0\r\n"));
  rig.port.existingPorts = {};
  rig.Start();
  Lines opens;
  for (int n = 1; n <= 63; ++n) {
    opens.push_back("open " + std::to_string(n) + " @0 ft0 failed");
  }
  opens.push_back("open 0 @0 ft0 failed");
  Lines seen;
  for (const auto& e : rig.Of("port")) {
    if (e.rfind("open", 0) == 0) seen.push_back(e);
  }
  EXPECT_EQ(seen, opens);
  EXPECT_EQ(rig.settings().ComNr, 0);
  EXPECT_EQ(rig.Of("host"), Lines{"box Error / COM port not found"});
}

TEST(ProgramStartupTest, AutoloadRunsAfterConnectingAndBeforeTheRefresh) {
  // -A with an empty name replaces the autoload of the file.
  {
    ProgramRig rig({"my.ini", "-A", ""});
    rig.WriteFile("my.ini", Ini("Autoload=other.binary\r\n"));
    rig.Start();
    EXPECT_EQ(rig.settings().Autoload, "");
    EXPECT_EQ(rig.Count("port DTR"), 0);
  }
  // It waits for an open port: only the connect failure, not "No COM".
  {
    ProgramRig rig({"my.ini", "-A", "demo.binary"});
    rig.port.existingPorts = {};
    rig.Start();
    EXPECT_EQ(rig.Count("port DTR") + rig.Count("port RTS"), 0);
    EXPECT_EQ(rig.Count("host box"), 1);
  }
  ProgramRig rig;
  rig.WriteFile("my.ini", Ini("BaudRate=2\r\n"));
  rig.WriteFile("demo.binary", std::string(8, '\0'));
  rig.program = std::make_unique<Program>(
      ProgramServices{rig.port, rig.clock, rig.host, rig.images, rig.folder},
      ParseCommandLine({"my.ini", "-A", rig.PathOf("demo.binary")}));
  rig.Start();
  const int open = rig.Find("port open 6 @2 ft0");
  const int reset = rig.Find("port DTR+");
  ASSERT_GE(open, 0);
  EXPECT_GT(reset, open);
  EXPECT_GT(rig.Find("port baud 2"), reset);
  // An existing file gets the second reset before the handshake.
  EXPECT_EQ(rig.Count("port DTR+"), 2);
  EXPECT_EQ(rig.p().screen.ScreenText.find("No such file"), std::string::npos);
}

}  // namespace
}  // namespace kestrix::test
