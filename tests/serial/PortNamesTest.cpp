#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>

#include "serial/AdapterListing.h"
#include "serial/PortNames.h"
#include "serial/SerialAdapters.h"
#include "support/TempFolder.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;

class PortNamesTest : public ::testing::Test {
 protected:
  test::TempFolder temp_;
  const fs::path& folder_ = temp_.path();
};

TEST_F(PortNamesTest, PlainNumbersMapToTheDeviceTables) {
  EXPECT_EQ(WindowsPortName("12"), "\\\\.\\COM12");
  EXPECT_EQ(WindowsPortName("0"), "\\\\.\\COM0");  // no device answers to it
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"1", "/dev/ttyUSB0"}, {"16", "/dev/ttyUSB15"}, {"17", "/dev/ttyACM0"},
      {"32", "/dev/ttyACM15"}, {"33", "/dev/ttyS0"}, {"63", "/dev/ttyS30"},
      {"0", ""}, {"64", ""}, {"-6", ""}, {"", ""}, {" 6", ""}, {"6a", ""},
      {"+6", ""}, {"06", ""}, {"../COM6", ""}, {"99999999999999999999", ""}};
  // clang-format on
  for (const auto& [number, device] : cases)
    EXPECT_EQ(UnixPortName(number, folder_), device) << '"' << number << '"';
#ifdef _WIN32
  EXPECT_EQ(PortDeviceName("6", folder_), "\\\\.\\COM6");
#else
  EXPECT_EQ(PortDeviceName("6", folder_), "/dev/ttyUSB5");
#endif
  for (const char* number : {"0", "06", "", "6\\..\\x", "6/../x", "COM6"})
    EXPECT_EQ(PortDeviceName(number, folder_), "") << '"' << number << '"';
}

// Links need privileges on Windows, and the rule is not used there.
#ifndef _WIN32
TEST_F(PortNamesTest, EntryInWorkingFolderNamesThePort) {
  fs::create_symlink("/dev/null", folder_ / "COM6");
  std::ofstream(folder_ / "COM70") << "device stand-in";
  // Dangling: the user meant this link; /dev/ttyUSB2 may be another board.
  fs::create_symlink(folder_ / "missing", folder_ / "COM3");
  for (const char* number : {"6", "70", "3"}) {
    EXPECT_EQ(UnixPortName(number, folder_),
              (folder_ / (std::string("COM") + number)).string());
  }
  EXPECT_EQ(UnixPortName("7", folder_), "/dev/ttyUSB6");
  // A relative working folder still gives an absolute name.
  const fs::path previous = fs::current_path();
  fs::current_path(folder_.parent_path());
  const std::string name = UnixPortName("6", folder_.filename());
  fs::current_path(previous);
  EXPECT_EQ(name, (folder_ / "COM6").string());
}

// COM links in the working folder are listed in number order, whatever the
// system lists beside them.
TEST_F(PortNamesTest, AdapterListShowsLinksWithTheirNumbersInOrder) {
  fs::create_symlink("/nonexistent/pts/9", folder_ / "COM12");
  fs::create_symlink("/nonexistent/pts/8", folder_ / "COM6");
  fs::create_symlink("/nonexistent/pts/7", folder_ / "COM06");  // not a name
  std::vector<std::string> links;
  for (const SerialAdapter& a : ListSerialAdapters(folder_)) {
    if (a.device.starts_with("/nonexistent/"))
      links.push_back(std::to_string(a.comNumber) + " " + a.device);
  }
  EXPECT_EQ(links, (std::vector<std::string>{"6 /nonexistent/pts/8",
                                             "12 /nonexistent/pts/9"}));
}
#endif

TEST(AdapterListingTest, NamesNumberDeviceDescriptionAndSerial) {
  EXPECT_EQ(AdapterListing({{3, "/dev/ttyUSB2", "FT232R USB UART", "A1B2"},
                            {0, "/dev/ttyS40", "", ""}}),
            "Serial adapters present:\n"
            "COM3    /dev/ttyUSB2  FT232R USB UART  serial A1B2\n"
            "-       /dev/ttyS40");
  EXPECT_TRUE(AdapterListing({}).starts_with("No serial adapter found"));
}

}  // namespace
}  // namespace kestrix
