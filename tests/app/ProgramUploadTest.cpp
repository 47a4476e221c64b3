#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

class ProgramUploadTest : public ProgramTest {
 protected:
  void Upload(const std::string& path, int pattern) {
    rig_.host.openAnswers.push_back({path, pattern});
    rig_.Menu(kMenuUploadFile);
  }
};

TEST_F(ProgramUploadTest, BinaryUploadRunsAt115200AndRemembersTheFolder) {
  rig_.Menu(kMenuBaudFirst + 4);  // 9600
  rig_.temp.Write("demo.binary", std::string(8, '\0'));
  rig_.log.clear();
  Upload(rig_.PathOf("demo.binary"), 1);
  const Lines port = rig_.Of("port");
  EXPECT_EQ(port[0] + ", " + port[1] + " ... " + port.back(),
            "baud 0, DTR+ ... baud 4");
  // The eeprom kind comes back as binary; the requester starts there.
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 0);
  rig_.log.clear();
  rig_.Menu(kMenuUploadFile);
  EXPECT_EQ(rig_.log,
            Lines{"host open Load Binary; " + (rig_.folder / "").string() +
                  "*.binary; Propeller(.binary)|*.binary|Propeller(.eeprom)|"
                  "*.eeprom|Text(.txt)|*.txt|OBJ file(.obj)|*.obj|Prepare|"
                  "*.bin;*.??a; 0"});
}

TEST_F(ProgramUploadTest, TheChosenKindDecidesNotTheExtension) {
  // A ".binary" file picked under Prepare is only remembered: the device's
  // block reads come from it.
  rig_.temp.Write("demo.binary", "abc");
  Upload(rig_.PathOf("demo.binary"), 4);
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 4);
  rig_.Show(std::string("\x05\x81\x80\x00", 4));
  std::vector<std::uint8_t> block(512, 0);
  block[0] = 'a', block[1] = 'b', block[2] = 'c';
  EXPECT_EQ(rig_.port.writes, (std::vector<std::vector<std::uint8_t>>{
                                  block, {0x26, 0x01, 0, 0}}));  // sum 294
  rig_.log.clear();
  Upload("/p2/blink.obj", 3);  // asks for the hub address in hex
  EXPECT_EQ(rig_.p().UploadPatternIndex(), 3);
  // The monitor load drops stale input before it finds the file missing.
  EXPECT_EQ(Lines(rig_.log.begin() + 1, rig_.log.end()),
            (Lines{"host input Kestrix2; Hubaddress to load to? (hex); E80",
                   "port purge"}));
}

TEST_F(ProgramUploadTest, TextKindIsPacedByTheKindChosenBefore) {
  // The remembered kind is still the previous one during the send: after
  // OBJ (the start-up kind) each character is paced, after Text only each
  // line (100 ms with the text cursor on).
  rig_.temp.Write("t.txt", "ab");
  for (const auto& sleeps : {std::vector<int>{1, 1, 100}, {100}}) {
    rig_.clock.sleeps.clear();
    Upload(rig_.PathOf("t.txt"), 2);
    EXPECT_EQ(rig_.clock.sleeps, sleeps);
    EXPECT_EQ(rig_.p().UploadPatternIndex(), 2);
  }
}

}  // namespace
}  // namespace kestrix::test
