#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "serial/PortNames.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;

// A fresh empty folder that disappears with the test.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (fs::temp_directory_path() / "kestrix-names-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

TEST(PortNamesTest, NumbersMapToTheDeviceTables) {
  EXPECT_EQ(WindowsPortName("6"), "\\\\.\\COM6");
  EXPECT_EQ(WindowsPortName("12"), "\\\\.\\COM12");
  // Number 0 gets a name that no device answers to.
  EXPECT_EQ(WindowsPortName("0"), "\\\\.\\COM0");

  TempFolder empty;
  ASSERT_FALSE(empty.path().empty());
  const struct {
    const char* number;
    const char* device;  // empty: not a port number
  } cases[] = {
      // clang-format off
      {"1", "/dev/ttyUSB0"}, {"6", "/dev/ttyUSB5"}, {"16", "/dev/ttyUSB15"},
      {"17", "/dev/ttyACM0"}, {"32", "/dev/ttyACM15"}, {"33", "/dev/ttyS0"},
      {"63", "/dev/ttyS30"}, {"0", ""}, {"64", ""}, {"-1", ""}, {"-6", ""},
      {"", ""}, {" 6", ""}, {"6 ", ""}, {"6a", ""}, {"+6", ""}, {"06", ""},
      {"0x6", ""}, {"../COM6", ""}, {"/dev/ttyUSB0", ""},
      {"99999999999999999999", ""},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnixPortName(c.number, empty.path()), c.device)
        << '"' << c.number << '"';
  }
}

TEST(PortNamesTest, EntryInWorkingFolderNamesThePort) {
  TempFolder folder;
  ASSERT_FALSE(folder.path().empty());
  fs::create_symlink("/dev/null", folder.path() / "COM6");
  std::ofstream(folder.path() / "COM70") << "device stand-in";
  // Dangling: the user meant this link, and /dev/ttyUSB2 might be a
  // different board.
  fs::create_symlink(folder.path() / "missing", folder.path() / "COM3");

  for (const char* number : {"6", "70", "3"}) {
    EXPECT_EQ(UnixPortName(number, folder.path()),
              (folder.path() / (std::string("COM") + number)).string());
  }
  // Numbers without an entry still use the table.
  EXPECT_EQ(UnixPortName("7", folder.path()), "/dev/ttyUSB6");

  // A relative working folder still gives an absolute name; a relative port
  // name would be looked for in /dev.
  const fs::path previous = fs::current_path();
  fs::current_path(folder.path().parent_path());
  const std::string name = UnixPortName("6", folder.path().filename());
  fs::current_path(previous);
  EXPECT_EQ(name, (folder.path() / "COM6").string());
}

}  // namespace
}  // namespace kestrix
