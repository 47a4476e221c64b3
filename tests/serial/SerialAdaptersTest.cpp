#include <gtest/gtest.h>

#include <filesystem>

#include "serial/AdapterListing.h"
#include "serial/SerialAdapters.h"
#include "support/TempFolder.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// COM links in the working folder are listed in number order, whatever the
// system lists beside them.
TEST(SerialAdaptersTest, LinksAreListedWithTheirNumbersInOrder) {
  TempFolder folder;
  fs::create_symlink("/nonexistent/pts/9", folder / "COM12");
  fs::create_symlink("/nonexistent/pts/8", folder / "COM6");
  fs::create_symlink("/nonexistent/pts/7", folder / "COM06");  // not a name
  std::vector<std::string> links;
  for (const SerialAdapter& a : ListSerialAdapters(folder.path())) {
    if (a.device.starts_with("/nonexistent/")) {
      links.push_back(std::to_string(a.comNumber) + " " + a.device);
    }
  }
  EXPECT_EQ(links, (std::vector<std::string>{"6 /nonexistent/pts/8",
                                             "12 /nonexistent/pts/9"}));
}
#endif

TEST(SerialAdaptersTest, ListingNamesNumberDeviceDescriptionAndSerial) {
  EXPECT_EQ(AdapterListing({{3, "/dev/ttyUSB2", "FT232R USB UART", "A1B2"},
                            {0, "/dev/ttyS40", "", ""}}),
            "Serial adapters present:\n"
            "COM3    /dev/ttyUSB2  FT232R USB UART  serial A1B2\n"
            "-       /dev/ttyS40");
  EXPECT_TRUE(AdapterListing({}).starts_with("No serial adapter found"));
}

}  // namespace
}  // namespace kestrix::test
