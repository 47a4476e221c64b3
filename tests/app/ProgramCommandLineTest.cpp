#include <gtest/gtest.h>

#include "app/Program.h"

namespace kestrix {
namespace {

TEST(ProgramCommandLineTest, ArgumentsTable) {
  struct Case {
    std::vector<std::string> args;
    std::string settingsFile;
    bool consoleUpload;
    int uploadPort;
    bool autoload;
    std::string autoloadFile;
  };
  // clang-format off
  const Case cases[] = {
      {{}, "Kestrix2.ini", false, 0, false, ""},
      {{""}, "Kestrix2.ini", false, 0, false, ""},
      {{"my.ini"}, "my.ini", false, 0, false, ""},
      // The file to upload, then the port.
      {{"file.binary", "-L", "3"}, "file.binary", true, 3, false, ""},
      {{"file.binary", "-L", "  \t12x"}, "file.binary", true, 12, false, ""},
      {{"file.binary", "-L", "COM3"}, "file.binary", true, 0, false, ""},
      {{"file.binary", "-L"}, "file.binary", true, 0, false, ""},
      {{"", "-L", "4"}, "Kestrix2.ini", true, 4, false, ""},
      // Arguments beyond the third are ignored.
      {{"file.binary", "-L", "-7", "extra"}, "file.binary", true, -7, false,
       ""},
      // Options are compared exactly.
      {{"file.binary", "-l", "3"}, "file.binary", false, 0, false, ""},
      {{"my.ini", "-a", "demo.binary"}, "my.ini", false, 0, false, ""},
      {{"my.ini", "-A", "demo.binary"}, "my.ini", false, 0, true,
       "demo.binary"},
      {{"my.ini", "-A"}, "my.ini", false, 0, true, ""},
      {{"my.ini", "-X", "demo.binary"}, "my.ini", false, 0, false, ""},
      // "-L" first is a settings file of that name.
      {{"-L", "3"}, "-L", false, 0, false, ""},
      {{"-A", "demo.binary"}, "-A", false, 0, false, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    const CommandLine line = ParseCommandLine(c.args);
    std::string shown;
    for (const auto& a : c.args) shown += "[" + a + "]";
    EXPECT_EQ(line.settingsFile, c.settingsFile) << shown;
    EXPECT_EQ(line.consoleUpload, c.consoleUpload) << shown;
    EXPECT_EQ(line.uploadPort, c.uploadPort) << shown;
    EXPECT_EQ(line.autoload, c.autoload) << shown;
    EXPECT_EQ(line.autoloadFile, c.autoloadFile) << shown;
  }
}

}  // namespace
}  // namespace kestrix
