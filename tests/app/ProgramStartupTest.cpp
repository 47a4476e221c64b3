#include <gtest/gtest.h>

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
  ASSERT_GE(rig.log.size(), 4u);
  EXPECT_EQ(
      Lines(rig.log.end() - 4, rig.log.end()),
      (Lines{"present", "view mark 5 on", "port open 6 @0 ft0", "present"}));
}

TEST(ProgramStartupTest, MissingPortIsSearchedForWhenZeroAndNotPolled) {
  ProgramRig rig;
  rig.WriteFile("Kestrix2.ini",
                "[Config]\r\nComNr=0\r\nFT232R=0\r\nBaudRate=0\r\n");
  rig.port.existingPorts = {};
  rig.Start();
  // COM1 to COM63 are tried, then the number 0 that remains.
  Lines opens;
  for (int n = 1; n <= 64; ++n)
    opens.push_back(std::to_string(n % 64) + " @0 ft0 failed");
  EXPECT_EQ(rig.Of("port open"), opens);
  EXPECT_EQ(rig.Of("host"),
            Lines{"box Error / COM port not found\n\n"
                  "COM0 is /dev/fake0.\n"
                  "Choose another port with Options > Com-Port; it lists the "
                  "serial adapters present."});
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.port.readCalls, 0);
}

TEST(ProgramStartupTest, AutoloadRunsAfterConnectingAndBeforeTheRefresh) {
  ProgramRig rig;
  rig.WriteFile("my.ini", "[Config]\r\nBaudRate=2\r\nFT232R=0\r\n");
  rig.WriteFile("demo.binary", std::string(8, '\0'));
  rig.program = std::make_unique<Program>(
      ProgramServices{rig.port, rig.clock, rig.host, rig.images, rig.folder},
      ParseCommandLine({"my.ini", "-A", rig.PathOf("demo.binary")}));
  rig.Start();
  // An existing file gets a second reset before the handshake.
  const Lines port = rig.Of("port");
  ASSERT_GE(port.size(), 3u);
  EXPECT_EQ(port[0] + ", " + port[1] + " ... " + port.back(),
            "open 6 @2 ft0, DTR+ ... baud 2");
  EXPECT_EQ(rig.Of("port DTR+").size(), 2u);
}

// "settings file | console upload port or - | autoload file or -".
std::string Parsed(const std::vector<std::string>& args) {
  const CommandLine line = ParseCommandLine(args);
  return line.settingsFile + " | " +
         (line.consoleUpload ? std::to_string(line.uploadPort) : "-") + " | " +
         (line.autoload ? "[" + line.autoloadFile + "]" : "-");
}

TEST(ProgramCommandLineTest, ArgumentsTable) {
  EXPECT_EQ(Parsed({}), "Kestrix2.ini | - | -");
  EXPECT_EQ(Parsed({""}), "Kestrix2.ini | - | -");
  EXPECT_EQ(Parsed({"f.binary", "-L", " \t12x", "extra"}), "f.binary | 12 | -");
  EXPECT_EQ(Parsed({"f.binary", "-L", "COM3"}), "f.binary | 0 | -");
  EXPECT_EQ(Parsed({"", "-L", "4"}), "Kestrix2.ini | 4 | -");
  // Options are compared exactly; "-L" first names a settings file.
  EXPECT_EQ(Parsed({"f.binary", "-l", "3"}), "f.binary | - | -");
  EXPECT_EQ(Parsed({"my.ini", "-A", "d.binary"}), "my.ini | - | [d.binary]");
  EXPECT_EQ(Parsed({"-L", "3"}), "-L | - | -");
}

TEST(ProgramCommandLineTest, LongArgumentsAreOptionsWhereverTheyStand) {
  using R = CommandLineRequest;
  const struct {
    const char* name;
    std::vector<std::string> args;
    R request;
    std::string detail;  // the option complained of, or Parsed() for kRun
  } rows[] = {
      {"short help as the port", {"f.binary", "-L", "-h"}, R::kUsage, ""},
      {"version after a file", {"my.ini", "--version"}, R::kVersion, ""},
      {"unknown as autoload", {"a", "-A", "--x"}, R::kUnknownOption, "--x"},
      {"bare double dash", {"--"}, R::kUnknownOption, "--"},
      {"first one decides", {"--no", "--help"}, R::kUnknownOption, "--no"},
      {"port missing", {"f.binary", "-L"}, R::kMissingValue, "-L"},
      {"autoload missing", {"my.ini", "-A"}, R::kMissingValue, "-A"},
      {"empty autoload given",
       {"my.ini", "-A", ""},
       R::kRun,
       "my.ini | - | []"},
      {"dotted settings name", {"./--name"}, R::kRun, "./--name | - | -"},
      {"single-dash names", {"-x", "-A", "-y"}, R::kRun, "-x | - | [-y]"},
  };
  for (const auto& row : rows) {
    const CommandLine line = ParseCommandLine(row.args);
    EXPECT_EQ(line.request, row.request) << row.name;
    EXPECT_EQ(row.request == R::kRun ? Parsed(row.args) : line.unknownOption,
              row.detail)
        << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
