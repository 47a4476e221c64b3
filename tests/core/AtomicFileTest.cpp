#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/AtomicFile.h"
#include "support/TempFolder.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// Windows refuses to replace a file that another program holds open; the
// save then fails as a whole: the old contents stay and no scrap is left.
// Elsewhere the open file is replaced and the reader keeps the old one.
#ifdef _WIN32
constexpr bool kReplacedWhileOpen = false;
#else
constexpr bool kReplacedWhileOpen = true;
#endif

TEST(WriteFileAtomically, WritesThroughLinksAndRespectsProtection) {
  constexpr auto kOwnerRw = fs::perms::owner_read | fs::perms::owner_write;
  constexpr auto kReadOnly =
      fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  const struct {
    const char* name;
    const char* link;  // saved through this link to "dir/real" (or directly)
    bool exists;
    fs::perms perms;
    bool saved;
    bool heldOpen = false;
  } rows[] = {
      // clang-format off
      {"plain file keeps its rights", nullptr, true, kOwnerRw | fs::perms::group_read, true},
      {"held open by a reader", nullptr, true, kOwnerRw, kReplacedWhileOpen, true},
      {"no write bit at all", nullptr, true, kReadOnly, false},
      {"not there yet", nullptr, false, fs::perms::none, true},
#ifndef _WIN32  // links need privileges on Windows (and Wine has none)
      {"absolute link", "abs", true, fs::perms::owner_all, true},
      {"relative link chain", "chain", true, fs::perms::owner_all, true},
      {"link to a file not there yet", "abs", false, fs::perms::none, true},
      {"read-only through a link", "chain", true, kReadOnly, false},
#endif
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder folder;
    fs::create_directory(folder / "dir");
    const fs::path real = folder / "dir" / "real";
    fs::perms before = fs::perms::none;
    if (row.exists) {
      folder.Write("dir/real", "old");
      fs::permissions(real, row.perms);
      // As the system keeps them (Windows has a read-only flag alone).
      before = fs::status(real).permissions();
    }
    if (row.link) {
      fs::create_symlink(real, folder / "abs");
      fs::create_symlink("dir/real", folder / "rel");
      fs::create_symlink("rel", folder / "chain");
    }
    const fs::path saveAs = row.link ? folder / row.link : real;
    std::ifstream holder;
    if (row.heldOpen) holder.open(real, std::ios::binary);

    EXPECT_EQ(WriteFileAtomically(saveAs, "new"), row.saved);
    holder.close();
    EXPECT_EQ(folder.Read("dir/real"),
              row.saved ? "new" : (row.exists ? "old" : ""));
    EXPECT_EQ(fs::is_symlink(saveAs), row.link != nullptr);
    if (row.exists) {
      EXPECT_EQ(fs::status(real).permissions(), before);
      fs::permissions(real, fs::perms::owner_all);  // so it can be removed
    }
    EXPECT_FALSE(fs::exists(folder / "dir" / "real.kestrix-tmp"));
  }
}

}  // namespace
}  // namespace kestrix
