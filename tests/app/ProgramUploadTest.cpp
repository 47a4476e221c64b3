#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

constexpr char kPatterns[] =
    "Propeller(.binary)|*.binary|Propeller(.eeprom)|*.eeprom|Text(.txt)|*.txt|"
    "OBJ file(.obj)|*.obj|Prepare|*.bin;*.??a";

class ProgramUploadTest : public ProgramTest {
 protected:
  void Upload(const std::string& path, int pattern) {
    rig_.host.openAnswers.push_back({path, pattern});
    rig_.Menu(kMenuUploadFile);
  }
};

TEST_F(ProgramUploadTest, BinaryUploadRunsAt115200AndRemembersTheFolder) {
  rig_.Menu(kMenuBaudFirst + 4);  // 9600
  rig_.WriteFile("demo.binary", std::string(8, '\0'));
  rig_.log.clear();
  Upload(rig_.PathOf("demo.binary"), 1);
  const Lines port = rig_.Of("port");
  ASSERT_GE(port.size(), 3u);
  EXPECT_EQ(port[0], "baud 0");
  EXPECT_EQ(port[1], "DTR+");
  EXPECT_EQ(port.back(), "baud 4");
  // The folder with this system's separator at the end.
  const std::string folder = (rig_.folder / "").string();
  EXPECT_EQ(rig_.settings().BinPath, folder);
  // The eeprom kind comes back as binary; the requester starts there.
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 0);
  rig_.log.clear();
  rig_.Menu(kMenuUploadFile);
  EXPECT_EQ(rig_.log, Lines{"host open Load Binary; " + folder + "*.binary; " +
                            std::string(kPatterns) + "; 0"});
}

TEST_F(ProgramUploadTest, TheChosenKindDecidesNotTheExtension) {
  // A ".binary" file picked under Prepare is only remembered: the device's
  // block reads come from it.
  rig_.WriteFile("demo.binary", "abc");
  Upload(rig_.PathOf("demo.binary"), 4);
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 4);
  rig_.Show(std::string("\x05\x81\x80\x00", 4));
  std::vector<std::uint8_t> block(512, 0);
  block[0] = 'a', block[1] = 'b', block[2] = 'c';
  EXPECT_EQ(rig_.port.writes, (std::vector<std::vector<std::uint8_t>>{
                                  block, {0x26, 0x01, 0, 0}}));  // sum 294
  rig_.log.clear();
  Upload("/data/notes.txt", 2);
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 2);
  // An object file asks for the hub address in hex.
  Upload("/p2/blink.obj", 3);
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 3);
  Lines calls;
  for (const auto& e : rig_.log) {
    if (e.rfind("host open", 0) != 0) calls.push_back(e);
  }
  // The monitor load drops stale input before it finds the file missing;
  // nothing is written for either missing file.
  EXPECT_EQ(calls,
            (Lines{"host input Kestrix2; Hubaddress to load to? (hex); E80",
                   "port purge"}));
}

TEST_F(ProgramUploadTest, TextKindIsPacedByTheKindChosenBefore) {
  // During the send the remembered kind is still the previous one: after
  // OBJ (the start-up kind) each character is paced, after Text only each
  // line (100 ms with the text cursor on).
  rig_.WriteFile("t.txt", "ab");
  const struct {
    const char* name;
    std::vector<int> sleeps;
  } rows[] = {{"after OBJ", {1, 1, 100}}, {"after Text", {100}}};
  for (const auto& row : rows) {
    rig_.clock.sleeps.clear();
    Upload(rig_.PathOf("t.txt"), 2);
    EXPECT_EQ(rig_.clock.sleeps, row.sleeps) << row.name;
    EXPECT_EQ(rig_.p().UploadPatternIndex(), 2) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
