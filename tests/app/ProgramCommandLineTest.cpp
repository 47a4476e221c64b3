#include <gtest/gtest.h>

#include "app/Program.h"

namespace kestrix {
namespace {

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
  EXPECT_EQ(Parsed({"my.ini", "-A"}), "my.ini | - | []");
  EXPECT_EQ(Parsed({"-L", "3"}), "-L | - | -");
}

}  // namespace
}  // namespace kestrix
