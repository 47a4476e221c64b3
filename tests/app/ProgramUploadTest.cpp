#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

constexpr char kPatterns[] =
    "Propeller(.binary)|*.binary|Propeller(.eeprom)|*.eeprom|Text(.txt)|*.txt|"
    "OBJ file(.obj)|*.obj|Prepare|*.bin;*.??a";

// Logs what the program hands off, with the pattern index at that moment.
class RecordingTransfers : public LaterTransfers {
 public:
  explicit RecordingTransfers(ProgramRig& rig) : rig_(rig) {}
  void MonitorLoad(const std::string& path, std::int32_t hub) override {
    Log("monitor " + path + " " + std::to_string(hub));
  }
  void SendTextFile(const std::string& path) override { Log("text " + path); }
  void CarryOutServiceRequest(int request) override {
    Log("service " + std::to_string(request));
  }

 private:
  void Log(const std::string& call) {
    rig_.log.push_back("transfer " + call + " @" +
                       std::to_string(rig_.p().UploadPatternIndex));
  }
  ProgramRig& rig_;
};

class ProgramUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Start();
    rig.p().SetLaterTransfers(&transfers);
    rig.log.clear();
  }
  void Upload(const std::string& path, int pattern) {
    rig.host.openAnswers.push_back({path, pattern});
    rig.p().OnMenuCommand(kMenuUploadFile);
  }
  ProgramRig rig;
  RecordingTransfers transfers{rig};
};

TEST_F(ProgramUploadTest, RequesterStartsInTheBinaryFolderOnTheLastKind) {
  rig.settings().BinPath = "/progs/";
  rig.p().OnMenuCommand(kMenuUploadFile);
  // Cancelled: nothing else happened.
  EXPECT_EQ(rig.log, Lines{"host open Load Binary; /progs/*.binary; " +
                           std::string(kPatterns) + "; 3"});
  EXPECT_EQ(rig.p().UploadPatternIndex, 3);
}

TEST_F(ProgramUploadTest, BinaryUploadRunsAt115200AndRemembersTheFolder) {
  rig.p().OnMenuCommand(kMenuBaudFirst + 4);  // 9600
  rig.WriteFile("demo.binary", std::string(8, '\0'));
  rig.log.clear();
  Upload(rig.PathOf("demo.binary"), 0);
  const Lines port = rig.Of("port");
  ASSERT_GE(port.size(), 3u);
  EXPECT_EQ(port[0], "baud 0");
  EXPECT_EQ(port[1], "DTR+");
  EXPECT_EQ(port.back(), "baud 4");
  EXPECT_EQ(rig.port.baudIndex, 4);
  EXPECT_EQ(rig.settings().BinPath, rig.folder.string() + "/");
  EXPECT_EQ(rig.p().UploadPatternIndex, 0);

  // At the upload rate the rate is not touched.
  rig.p().OnMenuCommand(kMenuBaudFirst);
  rig.log.clear();
  Upload(rig.PathOf("missing.binary"), 0);
  EXPECT_EQ(rig.Count("port baud"), 0);
  EXPECT_EQ(rig.Count("port DTR+"), 1);
  EXPECT_NE(rig.p().screen.ScreenText.find("No such file"), std::string::npos);
}

TEST_F(ProgramUploadTest, FolderIsRememberedAndEepromComesBackAsBinary) {
  Upload("C:\\Propeller\\Work\\demo.eeprom", 1);
  EXPECT_EQ(rig.p().UploadPatternIndex, 0);
  EXPECT_EQ(rig.settings().BinPath, "C:\\Propeller\\Work\\");
  rig.log.clear();
  rig.p().OnMenuCommand(kMenuUploadFile);
  EXPECT_EQ(rig.Of("host"),
            Lines{"open Load Binary; C:\\Propeller\\Work\\*.binary; " +
                  std::string(kPatterns) + "; 0"});
  // A name without a folder leaves an empty folder.
  Upload("demo.binary", 0);
  EXPECT_EQ(rig.settings().BinPath, "");
}

TEST_F(ProgramUploadTest, TheChosenKindDecidesNotTheExtension) {
  // A ".binary" file picked under Prepare is only remembered.
  Upload("/data/demo.binary", 4);
  EXPECT_EQ(rig.p().decoder().PreparedFile, "/data/demo.binary");
  EXPECT_EQ(rig.p().UploadPatternIndex, 4);
  EXPECT_EQ(rig.log.size(), 1u);  // the requester
  // A text file is sent; like every hand-off it still sees the previous kind.
  Upload("/data/notes.txt", 2);
  EXPECT_EQ(rig.p().UploadPatternIndex, 2);
  // An object file asks for the hub address in hex; cancelled loads at 0.
  rig.host.inputAnswers.push_back("1F0");
  Upload("/p2/blink.obj", 3);
  Upload("/p2/blink.obj", 3);
  EXPECT_EQ(rig.p().UploadPatternIndex, 3);
  Lines calls;
  for (const auto& e : rig.log) {
    if (e.rfind("host open", 0) != 0) calls.push_back(e);
  }
  EXPECT_EQ(calls,
            (Lines{"transfer text /data/notes.txt @4",
                   "host input Kestrix2; Hubaddress to load to? (hex); E80",
                   "transfer monitor /p2/blink.obj 496 @2",
                   "host input Kestrix2; Hubaddress to load to? (hex); E80",
                   "transfer monitor /p2/blink.obj 0 @3"}));
}

TEST_F(ProgramUploadTest, ClosedPortUploadShowsTheDriversBoxOnly) {
  rig.port.ClosePort();
  rig.p().OnMenuCommand(kMenuBaudFirst + 1);
  rig.log.clear();
  Upload("/data/demo.binary", 0);
  EXPECT_EQ(rig.Of("host").back(),
            "box No COM / wrong number or not activated");
  EXPECT_EQ(rig.Count("host box"), 1);
  EXPECT_EQ(
      rig.Count("port DTR") + rig.Count("port RTS") + rig.Count("port write"),
      0);
}

}  // namespace
}  // namespace kestrix::test
