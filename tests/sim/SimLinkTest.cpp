// kestrix-sim's COM<n> link: made, refused when it is not its own, removed
// when the simulator stops; bad arguments refused.
#include <gtest/gtest.h>

#include <filesystem>

#include "sim/SimProcess.h"
#include "support/TempFolder.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

TEST(SimLink, MadeReplacedOrRefusedAndRemovedOnStop) {
  enum class Before { kNothing, kStaleLink, kFile, kOtherLink, kLiveSim };
  struct Row {
    const char* name;
    Before before;
    int stopSignal;  // 0: the simulator must refuse with exit status 1
  };
  for (const Row& row :
       {Row{"empty folder", Before::kNothing, SIGTERM},
        Row{"own stale link", Before::kStaleLink, SIGINT},
        Row{"foreign file", Before::kFile, 0},
        Row{"foreign link", Before::kOtherLink, 0},
        Row{"link of a live simulator", Before::kLiveSim, 0}}) {
    TempFolder folder;
    const fs::path link = folder / "COM6";
    std::unique_ptr<SimProcess> first;
    if (row.before == Before::kStaleLink) {
      fs::create_symlink("/dev/pts/99999", link);
    } else if (row.before == Before::kFile) {
      folder.Write("COM6", "mine");
    } else if (row.before == Before::kOtherLink) {
      fs::create_symlink("/dev/null", link);
    } else if (row.before == Before::kLiveSim) {
      first = std::make_unique<SimProcess>(
          std::vector<std::string>{"--folder", folder.path().string()});
      ASSERT_TRUE(LinkAppears(link)) << row.name;
    }
    const fs::path targetBefore =
        fs::is_symlink(link) ? fs::read_symlink(link) : fs::path();

    SimProcess sim({"--folder", folder.path().string(), "--port", "6"});
    if (row.stopSignal == 0) {
      EXPECT_EQ(sim.Exit(2000), 1) << row.name;
      EXPECT_EQ(fs::is_symlink(link) ? fs::read_symlink(link) : fs::path(),
                targetBefore)
          << row.name;
      if (row.before == Before::kFile) {
        EXPECT_EQ(folder.Read("COM6"), "mine") << row.name;
      }
      continue;
    }
    for (int i = 0; i < 400 && (!fs::is_symlink(link) ||
                                fs::read_symlink(link) == targetBefore);
         ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(fs::is_symlink(link) &&
                fs::read_symlink(link).string().starts_with("/dev/pts/") &&
                fs::exists(link))
        << row.name;
    EXPECT_TRUE(fs::exists(folder / "demo.bin")) << row.name;
    sim.Signal(row.stopSignal);
    EXPECT_EQ(sim.Exit(2000), 0) << row.name;
    EXPECT_FALSE(fs::is_symlink(link)) << row.name;
  }
}

TEST(SimLink, BadArgumentsExitWithStatusTwo) {
  struct Row {
    const char* name;
    std::vector<std::string> args;
  };
  for (const Row& row :
       {Row{"unknown option", {"--speed", "3"}},
        Row{"port out of range", {"--port", "0"}},
        Row{"port not a number", {"--port", "6x"}},
        Row{"missing value", {"--rate"}},
        Row{"unreadable script", {"--script", "/nonexistent/capture.bin"}}}) {
    TempFolder folder;
    auto args = row.args;
    args.insert(args.begin(), {"--folder", folder.path().string()});
    SimProcess sim(args);
    EXPECT_EQ(sim.Exit(2000), 2) << row.name;
    EXPECT_FALSE(fs::exists(folder / "COM6")) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
