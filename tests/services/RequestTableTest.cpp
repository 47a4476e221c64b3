#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "ServiceRig.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

TEST(RequestTableTest, SizeOfThePreparedFile) {
  const struct {
    const char* name;
    int kind;  // 0 file of 1234 bytes, 1 folder, 2 missing, 3 none, 4 FIFO
    std::int32_t size;
  } rows[] = {{"file", 0, 1234},
              {"folder", 1, -2},
              {"missing", 2, -1},
              {"none prepared", 3, -1},
              {"FIFO", 4, -1}};
  for (const auto& row : rows) {
    ServiceRig rig({{'o', "", "", 0}});
    const fs::path path = rig.folder / "p.bin";
    if (row.kind == 0) rig.folder.Write("p.bin", std::string(1234, 'x'));
    if (row.kind == 1) fs::create_directory(path);
    if (row.kind == 4) ::mkfifo(path.c_str(), 0600);
    if (row.kind != 3) rig.preparedFile = path.string();
    EXPECT_EQ(rig.Run('o', ""), 'o') << row.name;
    EXPECT_EQ(rig.client.Results()[0].Size, row.size) << row.name;
    EXPECT_EQ(rig.port.sent.size(), 4u) << row.name;
  }
}

TEST(RequestTableTest, WritesExactlyThePrintedText) {
  for (bool existing : {false, true}) {
    const char* name = existing ? "replaces a longer file" : "new file";
    ServiceRig rig({{'s', "out.txt", "hello", 0}});
    const auto path = rig.folder / "out.txt";
    if (existing) rig.folder.Write("out.txt", "an older and longer text\r\n");
    EXPECT_EQ(rig.Run('s', path.string(), "hello"), 's') << name;
    EXPECT_EQ(rig.folder.Read("out.txt"), "hello") << name;
    EXPECT_EQ(std::distance(fs::directory_iterator(rig.folder.path()),
                            fs::directory_iterator()),
              1)
        << name;
    EXPECT_EQ(rig.Sent(), "") << name;
  }
}

TEST(RequestTableTest, TypesTextLinesWithPauses) {
  const std::string file = std::string("AB\r\nC\n\rD\0E\r", 11);
  const struct {
    const char* name;
    int txtCurs;
    int patternIndex;
    std::vector<int> sleeps;
  } rows[] = {
      {"text cursor on", 1, 0, {100, 100, 100, 100, 100}},
      {"text cursor off", 0, 2, {10, 10, 10, 10, 10}},
      {"OBJ kind: per character", 0, 3, {1, 1, 10, 1, 10, 10, 1, 10, 1, 10}},
  };
  for (const auto& row : rows) {
    ServiceRig rig({{'t', "t.txt", "", 5}});
    rig.txtCurs = row.txtCurs;
    rig.patternIndex = row.patternIndex;
    EXPECT_EQ(rig.Run('t', rig.folder.Write("t.txt", file).string()), 't')
        << row.name;
    EXPECT_EQ(rig.client.Results()[0].Typed, "AB\rC\r\rD\rE\r") << row.name;
    EXPECT_EQ(rig.clock.sleeps, row.sleeps) << row.name;
  }
}

TEST(RequestTableTest, LaunchGetsTheNameUnchanged) {
  ServiceRig rig({{'i', "x", "", 0}});
  EXPECT_EQ(rig.Run('i', "My Doc.txt; rm -rf x"), 'i');
  EXPECT_EQ(rig.log,
            std::vector<std::string>{"host document My Doc.txt; rm -rf x"});
  EXPECT_EQ(rig.Sent(), "");
}

TEST(RequestTableTest, RefusedRequestsDoNothing) {
  const struct {
    const char* name;
    std::int32_t request;
    std::string file;  // "" uses the name as it is
    int kind;          // 0 none, 1 folder, 2 FIFO
    int msMoveOff;
  } rows[] = {
      {"t, empty name", 2 * 't', "", 0, 5},
      {"i, control character", 2 * 'i',
       "a\x01"
       "b",
       0, 5},
      {"f, control character", 2 * 'f', "x\x1b", 0, 5},
      {"s, empty name", 2 * 's', "", 0, 5},
      {"t, missing file", 2 * 't', "gone.txt", 0, 5},
      {"t, folder", 2 * 't', "dir", 1, 5},
      {"f, FIFO", 2 * 'f', "fifo", 2, 0},
      {"a, folder prepared", 2 * 'a', "dir", 1, 0},
      {"a, none prepared", 2 * 'a', "", 0, 5},
      {"no letter", 2 * 'x', "", 0, 5},
      {"odd value", 2 * 'f' + 1, "", 0, 5},
  };
  for (const auto& row : rows) {
    ServiceRig rig({{'f', "x", "", 0}});
    std::string name = row.file;
    if (row.kind != 0 || name.find('.') != std::string::npos) {
      name = (rig.folder / row.file).string();
    }
    if (row.kind == 1) fs::create_directory(name);
    if (row.kind == 2) ::mkfifo(name.c_str(), 0600);
    if (row.request == 2 * 'a') rig.preparedFile = name;
    const RequestNames names{name, "text", rig.binPath, rig.preparedFile};
    RunLetteredRequest(row.request, names, rig.context, nullptr);
    EXPECT_EQ(rig.Sent(), "") << row.name;
    EXPECT_TRUE(rig.log.empty()) << row.name;
    EXPECT_EQ(rig.msMoveOff, row.msMoveOff) << row.name;
    EXPECT_FALSE(rig.host.shown) << row.name;
  }
}

TEST(RequestTableTest, UploadsGoToTheProgramsUploader) {
  for (char letter : {'b', 'e'}) {
    ServiceRig rig({{letter, "p.binary", "", 0}});
    EXPECT_EQ(rig.Run(letter, "p.binary"), letter) << letter;
    EXPECT_EQ(rig.log, std::vector<std::string>{"upload bins/p.binary"})
        << letter;
  }
}

}  // namespace
}  // namespace kestrix::test
