// kestrix-sim's COM<n> link: made, refused when it is not its own, removed
// when the simulator stops.
#include <gtest/gtest.h>

#include <memory>

#include "sim/SimProcess.h"
#include "support/TempFolder.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

TEST(SimLink, MadeReplacedOrRefusedAndRemovedOnStop) {
  struct Row {
    const char* name;
    const char* before;  // "link:TARGET", "sim", "edited" or ""
    int stopSignal;      // 0: the simulator must refuse with status 1
  };
  for (const Row& row :
       {Row{"empty folder", "", SIGTERM},
        Row{"own stale link", "link:/dev/pts/99999", SIGINT},
        Row{"link of a live simulator", "sim", 0},
        Row{"edited sample, sample name linked away", "edited", SIGTERM}}) {
    TempFolder folder, away;
    // A sample the user edited stays; a link in a sample's place is not
    // followed out of the folder.
    if (std::string(row.before) == "edited") {
      folder.Write("demo.txt", "mine");
      fs::create_symlink(away / "blink.binary", folder / "blink.binary");
    }
    const fs::path link = folder / "COM6";
    const std::string before = row.before;
    const std::vector<std::string> args{"--folder", folder.path().string()};
    std::unique_ptr<SimProcess> first;
    if (before.starts_with("link:")) fs::create_symlink(before.substr(5), link);
    if (before == "sim") first = std::make_unique<SimProcess>(args);
    const fs::path old = before == "sim"        ? NewLinkTarget(link, {})
                         : fs::is_symlink(link) ? fs::read_symlink(link)
                                                : fs::path();

    SimProcess sim(args);
    if (row.stopSignal == 0) {
      EXPECT_EQ(sim.Exit(), 1) << row.name;
      EXPECT_EQ(fs::is_symlink(link) ? fs::read_symlink(link) : fs::path(), old)
          << row.name;
      continue;
    }
    const fs::path target = NewLinkTarget(link, old);
    EXPECT_TRUE(target.string().starts_with("/dev/pts/") && fs::exists(link))
        << row.name;
    EXPECT_EQ(folder.Read("demo.bin").size(), 1000u) << row.name;
    EXPECT_EQ(folder.Read("blink.eeprom").size(), 32768u) << row.name;
    EXPECT_EQ(folder.Read("demo.txt") == "mine", before == "edited")
        << row.name;
    EXPECT_FALSE(fs::exists(away / "blink.binary")) << row.name;
    sim.Signal(row.stopSignal);
    EXPECT_EQ(sim.Exit(), 0) << row.name;
    EXPECT_FALSE(fs::is_symlink(link)) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
