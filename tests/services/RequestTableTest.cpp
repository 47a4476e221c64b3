#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ServiceRig.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

// 0 plain file, 1 folder, 2 FIFO, 3 a sparse file of 4 GiB; -1 nothing.
fs::path Make(ServiceRig& rig, const std::string& name, int kind) {
  const fs::path path = rig.folder / name;
  if (kind == 0 || kind == 3) rig.folder.Write(name, std::string(1234, 'x'));
  if (kind == 1) fs::create_directory(path);
  if (kind == 2) MakeFifo(path);
  if (kind == 3) fs::resize_file(path, 1ull << 32);
  return path;
}

TEST(RequestTableTest, SizeOfThePreparedFile) {
  const struct {
    const char* name;
    int kind;
    std::int32_t size;
  } rows[] = {{"none", -2, -1}, {"FIFO", 2, -1}, {"4 GiB", 3, -1}};
  for (const auto& row : rows) {
    ServiceRig rig({{'o', "", "", 0}});
    if (row.kind != -2)
      rig.preparedFile = Make(rig, "p.bin", row.kind).string();
    EXPECT_EQ(rig.Run('o', ""), 'o') << row.name;
    EXPECT_EQ(rig.client.Results()[0].Size, row.size) << row.name;
    EXPECT_EQ(rig.Sent().size(), 4u) << row.name;
  }
}

TEST(RequestTableTest, WritesExactlyThePrintedTextOverAnOldFile) {
  ServiceRig rig({{'s', "out.txt", "hello", 0}});
  rig.folder.Write("out.txt", "an older and longer text\r\n");
  EXPECT_EQ(rig.Run('s', (rig.folder / "out.txt").string(), "hello"), 's');
  EXPECT_EQ(rig.folder.Read("out.txt"), "hello");
  EXPECT_EQ(std::distance(fs::directory_iterator(rig.folder.path()), {}), 1);
  EXPECT_EQ(rig.Sent(), "");
}

TEST(RequestTableTest, TypesTextLinesWithPauses) {
  const std::string file = std::string("AB\r\nC\n\rD\0E\r", 11);
  const struct {
    const char* name;
    bool textCursor;
    bool perCharacter;
    std::vector<int> sleeps;
  } rows[] = {
      {"text cursor on", true, false, {100, 100, 100, 100, 100}},
      {"text cursor off", false, false, {10, 10, 10, 10, 10}},
      {"per character", false, true, {1, 1, 10, 1, 10, 10, 1, 10, 1, 10}},
  };
  for (const auto& row : rows) {
    ServiceRig rig({{'t', "t.txt", "", 5}});
    rig.pace = DevicePace(row.textCursor, row.perCharacter);
    EXPECT_EQ(rig.Run('t', rig.folder.Write("t.txt", file).string()), 't');
    EXPECT_EQ(rig.client.Results()[0].Typed, "AB\rC\r\rD\rE\r") << row.name;
    EXPECT_EQ(rig.clock.sleeps, row.sleeps) << row.name;
  }
}

TEST(RequestTableTest, RequestOutcomes) {
  const struct {
    const char* name;
    std::int32_t request;
    std::string file;
    int kind;  // as for Make; -1 a path to nothing, -2 the name as it is
    char taken;  // the letter carried out, 0 when refused
    std::string log = {};
  } rows[] = {
      {"e, an upload", 2 * 'e', "My Doc; rm x", -2, 'e',
       "upload bins/My Doc; rm x"},
      {"t, empty name", 2 * 't', "", -2, 0},
      {"i, control character", 2 * 'i', "a\x01", -2, 0},
      {"f, control character", 2 * 'f', "x\x1b", -2, 0},
      {"s, control character", 2 * 's', "ab\x02", -1, 0},
      {"t, missing file", 2 * 't', "gone.txt", -1, 't'},
      {"t, folder", 2 * 't', "dir", 1, 't'},
      {"f, FIFO", 2 * 'f', "fifo", 2, 'f'},
      {"a, folder prepared", 2 * 'a', "dir", 1, 'a'},
      {"a, none prepared", 2 * 'a', "", -2, 0},
      {"no letter", 2 * 'x', "", -2, 0},
      {"odd value", 2 * 'f' + 1, "", -2, 0},
  };
  for (const auto& row : rows) {
    ServiceRig rig({{'f', "x", "", 0}});
    std::string name = row.file;
    if (row.kind != -2) name = Make(rig, row.file, row.kind).string();
    if (row.request == 2 * 'a') rig.preparedFile = name;
    EXPECT_EQ(rig.Request(row.request, name, "text"), row.taken) << row.name;
    EXPECT_EQ(rig.Sent(), "") << row.name;
    EXPECT_EQ(rig.log, row.log.empty() ? std::vector<std::string>{}
                                       : std::vector<std::string>{row.log})
        << row.name;
    EXPECT_TRUE(fs::is_empty(rig.folder.path()) || row.kind >= 0) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
