#include <gtest/gtest.h>

#include "app/ConsoleUpload.h"
#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

TEST(ProgramStartupTest, WithoutArgumentsOrFileConnectsCom6WithStartMarks) {
  ProgramRig rig;
  rig.Start();
  EXPECT_EQ(rig.view.checked,
            (std::set<int>{kMenuAutoMode, kMenuTextCursor, kMenuNormalTerminal,
                           kMenuComEnabled}));
  EXPECT_TRUE(rig.view.disabled.empty());
  // The screen is cleared before connecting and again after.
  EXPECT_EQ(
      Lines(rig.log.end() - 4, rig.log.end()),
      (Lines{"present", "view mark 5 on", "port open 6 @0 ft0", "present"}));
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
  EXPECT_EQ(rig.Of("host"),
            Lines{"box Error / COM port not found\n\nCOM0 is /dev/fake0.\n"
                  "Choose another port with Options > Com-Port; it lists the "
                  "serial adapters present."});
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
  for (const auto& [outcome, status] : rows) {
    EXPECT_EQ(ConsoleExitStatus(outcome), status) << int(outcome);
  }
}

}  // namespace
}  // namespace kestrix::test
