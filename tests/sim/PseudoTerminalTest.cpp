#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sim/PseudoTerminal.h"
#include "support/TempFolder.h"

namespace kestrix::sim {
namespace {

namespace fs = std::filesystem;

TEST(PseudoTerminalTest, LinkReplacesOnlyAStalePtyLink) {
  const struct {
    const char* name;
    const char* existing;  // what COM6 is before: a link target, or a file
    bool isLink;
    bool linked;
  } rows[] = {{"nothing there", nullptr, false, true},
              {"stale pty link", "/dev/pts/999999", true, true},
              {"link to a real adapter", "/dev/null", true, false},
              {"regular file", "keep", false, false}};
  for (const auto& row : rows) {
    test::TempFolder folder;
    const fs::path com = folder / "COM6";
    if (row.existing && row.isLink) fs::create_symlink(row.existing, com);
    if (row.existing && !row.isLink) folder.Write("COM6", row.existing);
    {
      PseudoTerminal pty;
      ASSERT_TRUE(pty.ok()) << row.name;
      EXPECT_EQ(pty.Link(folder.path().string(), 6), row.linked) << row.name;
      if (row.linked) {
        EXPECT_EQ(fs::read_symlink(com), pty.slavePath()) << row.name;
      } else if (row.isLink) {
        EXPECT_EQ(fs::read_symlink(com), row.existing) << row.name;
      } else {
        EXPECT_EQ(folder.Read("COM6"), row.existing) << row.name;
      }
    }
    // Ours goes with the terminal; someone else's stays.
    EXPECT_EQ(fs::exists(fs::symlink_status(com)), !row.linked && row.existing)
        << row.name;
  }
}

}  // namespace
}  // namespace kestrix::sim
