#include <gtest/gtest.h>

#include <filesystem>

#include "core/AtomicFile.h"
#include "support/TempFolder.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

TEST(WriteFileAtomically, WritesThroughLinksAndRespectsProtection) {
  constexpr auto kReadOnly =
      fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  const struct {
    const char* name;
    const char* link;  // saved through this link to "dir/real" (or directly)
    bool exists;
    fs::perms perms;
    bool saved;
  } rows[] = {
      {"plain file keeps its rights", nullptr, true,
       fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
       true},
      {"absolute link", "abs", true, fs::perms::owner_all, true},
      {"relative link chain", "chain", true, fs::perms::owner_all, true},
      {"link to a file not there yet", "abs", false, fs::perms::none, true},
      {"no write bit at all", nullptr, true, kReadOnly, false},
      {"read-only through a link", "chain", true, kReadOnly, false}};
  for (const auto& row : rows) {
    TempFolder folder;
    fs::create_directory(folder / "dir");
    const fs::path real = folder / "dir" / "real";
    if (row.exists) {
      folder.Write("dir/real", "old");
      fs::permissions(real, row.perms);
    }
    fs::create_symlink(real, folder / "abs");
    fs::create_symlink("dir/real", folder / "rel");
    fs::create_symlink("rel", folder / "chain");
    const fs::path saveAs = row.link ? folder / row.link : real;

    EXPECT_EQ(WriteFileAtomically(saveAs, "new"), row.saved) << row.name;
    EXPECT_EQ(folder.Read("dir/real"), row.saved ? "new" : "old") << row.name;
    EXPECT_EQ(fs::is_symlink(saveAs), row.link != nullptr) << row.name;
    if (row.exists) {
      EXPECT_EQ(fs::status(real).permissions(), row.perms) << row.name;
    }
    EXPECT_FALSE(fs::exists(folder / "dir" / "real.kestrix-tmp")) << row.name;
  }
}

}  // namespace
}  // namespace kestrix
