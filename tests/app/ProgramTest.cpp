#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/ConsoleUpload.h"
#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

std::string NotFoundBox(int port) {
  const std::string n = std::to_string(port);
  return "box Error / COM port not found\n\nCOM" + n + " is /dev/fake" + n +
         ".\nChoose another port with Options > Com-Port; it lists the "
         "serial adapters present.";
}

TEST(ProgramStartupTest, WithoutArgumentsOrFileConnectsCom6WithStartMarks) {
  ProgramRig rig;
  rig.host.whileOpen = [&rig] { rig.log.push_back("pump"); };
  rig.Start();
  EXPECT_EQ(rig.view.checked,
            (std::set<int>{kMenuAutoMode, kMenuTextCursor, kMenuNormalTerminal,
                           kMenuComEnabled}));
  EXPECT_TRUE(rig.view.disabled.empty());
  // The cleared screen reaches the window before the port opens; it is
  // cleared again after.
  EXPECT_EQ(Lines(rig.log.end() - 5, rig.log.end()),
            (Lines{"present", "pump", "view mark 5 on", "port open 6 @0 ft0",
                   "present"}));
}

TEST(ProgramStartupTest, MissingPortIsSearchedForWhenZeroAndNotPolled) {
  ProgramRig rig;
  rig.temp.Write("Kestrix2.ini",
                 "[Config]\r\nComNr=0\r\nFT232R=0\r\nBaudRate=0\r\n");
  rig.port.existingPorts = {};
  rig.Start();
  // COM1 to COM63 are tried, then the number 0 that remains.
  Lines opens;
  for (int n = 1; n <= 64; ++n)
    opens.push_back(std::to_string(n % 64) + " @0 ft0 failed");
  EXPECT_EQ(rig.Of("port open"), opens);
  EXPECT_EQ(rig.Of("host"), Lines{NotFoundBox(0)});
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.port.readCalls, 0);
}

TEST(ProgramStartupTest, AutoloadRunsAfterConnectingAndBeforeTheRefresh) {
  ProgramRig rig;
  rig.temp.Write("my.ini", "[Config]\r\nBaudRate=2\r\nFT232R=0\r\n");
  rig.temp.Write("demo.binary", std::string(8, '\0'));
  rig.program = std::make_unique<Program>(
      ProgramServices{rig.port, rig.clock, rig.host, rig.images, rig.folder},
      ParseCommandLine({"my.ini", "-A", rig.PathOf("demo.binary")}));
  rig.Start();
  // An existing file gets a second reset before the handshake.
  const Lines port = rig.Of("port");
  EXPECT_EQ(port[0] + ", " + port[1] + " ... " + port.back(),
            "open 6 @2 ft0, DTR+ ... baud 2");
  EXPECT_EQ(rig.Of("port DTR+").size(), 2u);
}

TEST(ProgramCommandLineTest, ArgumentsTable) {
  using R = CommandLineRequest;
  const struct {
    const char* name;
    std::vector<std::string> args;
    R request;
    // The option complained of, or "settings | port or - | [autoload] or -".
    std::string detail;
  } rows[] = {
      // clang-format off
      {"none", {}, R::kRun, "Kestrix2.ini | - | -"},
      {"empty settings name", {"", "-L", "4"}, R::kRun, "Kestrix2.ini | 4 | -"},
      {"number leads", {"f", "-L", " \t12x", "extra"}, R::kRun, "f | 12 | -"},
      {"port not a number", {"f", "-L", "COM3"}, R::kRun, "f | 0 | -"},
      {"options compared exactly", {"f", "-l", "3"}, R::kRun, "f | - | -"},
      {"autoload", {"m", "-A", "d.binary"}, R::kRun, "m | - | [d.binary]"},
      {"empty autoload given", {"m", "-A", ""}, R::kRun, "m | - | []"},
      {"port missing", {"f", "-L"}, R::kMissingValue, "-L"},
      {"autoload missing", {"my.ini", "-A"}, R::kMissingValue, "-A"},
      {"-L first names settings", {"-L", "3"}, R::kRun, "-L | - | -"},
      {"single-dash names", {"-x", "-A", "-y"}, R::kRun, "-x | - | [-y]"},
      {"dotted settings name", {"./--name"}, R::kRun, "./--name | - | -"},
      {"short help as the port", {"f", "-L", "-h"}, R::kUsage, ""},
      {"version after a file", {"my.ini", "--version"}, R::kVersion, ""},
      {"unknown as autoload", {"a", "-A", "--x"}, R::kUnknownOption, "--x"},
      {"bare double dash", {"--"}, R::kUnknownOption, "--"},
      {"first one decides", {"--no", "--help"}, R::kUnknownOption, "--no"},
      // clang-format on
  };
  for (const auto& row : rows) {
    const CommandLine line = ParseCommandLine(row.args);
    EXPECT_EQ(line.request, row.request) << row.name;
    const std::string run =
        line.settingsFile + " | " +
        (line.consoleUpload ? std::to_string(line.uploadPort) : "-") + " | " +
        (line.autoload ? "[" + line.autoloadFile + "]" : "-");
    EXPECT_EQ(row.request == R::kRun ? run : line.unknownOption, row.detail)
        << row.name;
  }
}

// Scripts tell the console upload's outcomes apart by these statuses.
TEST(ConsoleExitStatusTest, EachOutcomeHasItsStatus) {
  using O = UploadOutcome;
  const std::pair<O, int> rows[] = {{O::kRunning, 0},  {O::kNoPort, 3},
                                    {O::kPortLost, 3}, {O::kFileRefused, 4},
                                    {O::kNoChip, 5},   {O::kChipError, 6}};
  for (const auto& [outcome, status] : rows)
    EXPECT_EQ(ConsoleExitStatus(outcome), status) << int(outcome);
}

class ProgramLoopTest : public ProgramTest {
 protected:
  void Tick(int height) {
    rig_.view.innerHeightWithMenu = height;
    rig_.p().AfterEvent(true);
  }
  bool Connected() {
    return rig_.port.IsOpen() && rig_.view.IsChecked(kMenuComEnabled);
  }
};

TEST_F(ProgramLoopTest, ServiceRequestRunsBeforeTheReplyByteIsSent) {
  // Clear, name X.BINARY, request "b", then: is pixel (200, 200) black?
  rig_.Show(
      std::string("\0X.BINARY\x05\x82\x08"
                  "b\x05\x09\x64\x64",
                  17));
  // The upload of a missing file: reset, its lines, the purge; the reply.
  EXPECT_EQ(rig_.Of("port"),
            (Lines{"DTR+", "DTR-", "purge", "purge", "write 1"}));
  EXPECT_EQ(rig_.port.writes, (std::vector<std::vector<std::uint8_t>>{{0xFE}}));
  EXPECT_EQ(rig_.p().screen().ScreenText, "Start Upload\r\nNo such file\r\n");
  rig_.log.clear();
  rig_.Show("x");
  EXPECT_TRUE(rig_.Of("port").empty());
}

TEST_F(ProgramLoopTest, EntryPointsDoNothingWhileAnotherRuns) {
  int nestedRuns = 0;
  rig_.host.whileOpen = [&] {
    ++nestedRuns;
    EXPECT_TRUE(rig_.p().Busy());
    rig_.port.Feed("late");
    rig_.p().AfterEvent(true);
    rig_.p().OnMenuCommand(kMenuSaveText);
    rig_.p().OnMenuCommand(kMenuComEnabled);
    rig_.p().OnKeyDown(0x25);
    rig_.p().OnCharacter('q');
    rig_.p().OnLeftPress({1, 1});
    rig_.p().OnMouseMove({1, 1});
  };
  rig_.Menu(kMenuSaveText);
  EXPECT_EQ(nestedRuns, 1);
  EXPECT_FALSE(rig_.p().Busy());
  EXPECT_TRUE(rig_.port.writes.empty());
  EXPECT_EQ(rig_.port.incoming.size(), 4u);
  EXPECT_TRUE(rig_.view.IsChecked(kMenuComEnabled));
  rig_.p().AfterEvent(false);  // afterwards the waiting bytes are read
  EXPECT_EQ(rig_.p().screen().ScreenText, "late");
}

TEST_F(ProgramLoopTest, ComPortAsksForANumberAndReconnectsToIt) {
  rig_.Show("old");
  for (const char* answer : {"0", "COM3", "", "-4"}) {
    rig_.host.inputAnswers.push_back(answer);
    rig_.Menu(kMenuComPort);
  }
  EXPECT_TRUE(rig_.Of("port").empty());
  EXPECT_EQ(rig_.settings().ComNr, 6);
  // Each answer that is not a port number is told so; cancelling is not.
  const Lines boxes = rig_.Of("host box");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[1].find("ComPort / \"COM3\" is not a COM port number"), 0u);
  // The requester lists what the line finds.
  rig_.port.adapters = "Serial adapters present:\nCOM7    /dev/fake7";
  rig_.host.inputAnswers.push_back("");
  rig_.log.clear();
  rig_.Menu(kMenuComPort);
  EXPECT_EQ(rig_.Of("host"),
            Lines{"input ComPort; On which COM is the Propeller connected?\n\n"
                  "Serial adapters present:\nCOM7    /dev/fake7; 6"});
  // Blanks before the number are skipped; the screen is cleared.
  rig_.LoadSettingsLines("BaudRate=3\r\nFT232R=1\r\n");
  rig_.log.clear();
  rig_.host.inputAnswers.push_back("  7");
  rig_.Menu(kMenuComPort);
  EXPECT_EQ(rig_.Of("port"), (Lines{"close", "open 7 @3 ft1"}));
  EXPECT_TRUE(Connected());
  EXPECT_EQ(rig_.p().screen().ScreenText, "");
}

TEST_F(ProgramLoopTest, AutoModeReleasesBelow120AndReconnectsAbove180) {
  Tick(119);
  Tick(21);
  EXPECT_FALSE(rig_.view.IsChecked(kMenuComEnabled));
  // No raising of the IDE for the automatic release.
  EXPECT_EQ(rig_.log, (Lines{"view mark 5 off", "port close"}));
  Tick(180);
  EXPECT_FALSE(rig_.port.IsOpen());
  Tick(181);
  EXPECT_TRUE(Connected());
  // Middle heights and an unset mark never release.
  Tick(120);
  EXPECT_TRUE(rig_.port.IsOpen());
  rig_.Menu(kMenuAutoMode);
  Tick(21);
  EXPECT_TRUE(rig_.port.IsOpen());
  // A failed reconnect shows the box once and gives up.
  rig_.Menu(kMenuAutoMode);
  Tick(21);
  rig_.port.existingPorts = {};
  rig_.log.clear();
  Tick(446);
  Tick(446);
  EXPECT_EQ(rig_.Of("host"), Lines{NotFoundBox(6)});
}

// A pulled adapter closes the port; a line says so, and another when it is
// taken again. Reported inside a command, it is applied when that ends.
TEST_F(ProgramLoopTest, PortLostShowsALineAndIsAppliedWhenACommandEnds) {
  rig_.host.whileOpen = [this] {
    rig_.port.Lose();
    rig_.p().OnPortLost();
    EXPECT_TRUE(rig_.view.IsChecked(kMenuComEnabled));
  };
  rig_.Menu(kMenuSaveText);
  EXPECT_FALSE(rig_.view.IsChecked(kMenuComEnabled));
  rig_.p().OnPortLost();  // told twice, shown once
  EXPECT_EQ(rig_.p().screen().ScreenText, "COM port lost\r\n");
  rig_.host.whileOpen = nullptr;
  rig_.Menu(kMenuComEnabled);
  EXPECT_TRUE(Connected());
  EXPECT_EQ(rig_.p().screen().ScreenText, "COM port retaken\r\n");
  // Lost while a reconnect asks for the number: the new connection stays.
  rig_.host.whileOpen = [this] {
    rig_.port.Lose();
    rig_.p().OnPortLost();
  };
  rig_.host.inputAnswers.push_back("7");
  rig_.Menu(kMenuComPort);
  EXPECT_TRUE(Connected());
  // Com Enabled off hands the port to the vendor's IDE.
  rig_.host.whileOpen = nullptr;
  rig_.log.clear();
  rig_.Menu(kMenuComEnabled);
  EXPECT_EQ(rig_.log, (Lines{"view mark 5 off", "port close",
                             "host raise Propeller Tool"}));
}

}  // namespace
}  // namespace kestrix::test
