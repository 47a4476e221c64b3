#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

constexpr char kPatterns[] =
    "Propeller(.binary)|*.binary|Propeller(.eeprom)|*.eeprom|Text(.txt)|*.txt|"
    "OBJ file(.obj)|*.obj|Prepare|*.bin;*.??a";

// Records what the program hands off, with the pattern index at that moment.
class RecordingTransfers : public LaterTransfers {
 public:
  explicit RecordingTransfers(ProgramRig& rig) : rig_(rig) {}
  void MonitorLoad(const std::string& path, std::int32_t hub) override {
    calls.push_back("monitor " + path + " " + std::to_string(hub) + " @" +
                    std::to_string(rig_.p().UploadPatternIndex));
    rig_.log.push_back(calls.back());
  }
  void SendTextFile(const std::string& path) override {
    calls.push_back("text " + path + " @" +
                    std::to_string(rig_.p().UploadPatternIndex));
    rig_.log.push_back(calls.back());
  }
  void CarryOutServiceRequest(int request) override {
    calls.push_back("service " + std::to_string(request));
    rig_.log.push_back(calls.back());
  }
  std::vector<std::string> calls;

 private:
  ProgramRig& rig_;
};

class ProgramUploadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Start();
    rig.p().SetLaterTransfers(&transfers);
    rig.port.events.clear();
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
  ASSERT_EQ(rig.host.openRequests.size(), 1u);
  const auto& r = rig.host.openRequests[0];
  EXPECT_EQ(r.title, "Load Binary");
  EXPECT_EQ(r.initialFile, "/progs/*.binary");
  EXPECT_EQ(r.patterns, kPatterns);
  EXPECT_EQ(r.index, 3);
  // Cancelled: nothing else happened.
  EXPECT_TRUE(rig.port.events.empty());
  EXPECT_TRUE(transfers.calls.empty());
  EXPECT_EQ(rig.p().UploadPatternIndex, 3);
}

TEST_F(ProgramUploadTest, BinaryUploadRunsAt115200AndRemembersTheFolder) {
  rig.p().OnMenuCommand(kMenuBaudFirst + 4);  // 9600
  rig.port.events.clear();
  rig.WriteFile("demo.binary", std::string(8, '\0'));
  Upload(rig.PathOf("demo.binary"), 0);
  const auto& e = rig.port.events;
  ASSERT_GE(e.size(), 3u);
  EXPECT_EQ(e.front(), "baud 0");
  EXPECT_EQ(e[1], "DTR+");
  EXPECT_EQ(e.back(), "baud 4");
  EXPECT_EQ(rig.port.baudIndex, 4);
  EXPECT_EQ(rig.settings().BinPath, rig.folder.string() + "/");
  EXPECT_EQ(rig.p().UploadPatternIndex, 0);
}

TEST_F(ProgramUploadTest, AtTheUploadRateTheRateIsNotTouched) {
  Upload(rig.PathOf("missing.binary"), 0);
  EXPECT_TRUE(rig.port.EventsOf({"baud"}).empty());
  EXPECT_EQ(rig.port.EventsOf({"DTR+"}).size(), 1u);
  EXPECT_NE(rig.p().screen.ScreenText.find("No such file"), std::string::npos);
}

TEST_F(ProgramUploadTest, EepromKindComesBackAsBinaryNextTime) {
  Upload("C:\\Propeller\\Work\\demo.eeprom", 1);
  EXPECT_EQ(rig.p().UploadPatternIndex, 0);
  EXPECT_EQ(rig.settings().BinPath, "C:\\Propeller\\Work\\");
  rig.p().OnMenuCommand(kMenuUploadFile);
  EXPECT_EQ(rig.host.openRequests.back().index, 0);
  EXPECT_EQ(rig.host.openRequests.back().initialFile,
            "C:\\Propeller\\Work\\*.binary");
}

TEST_F(ProgramUploadTest, FileNameWithoutFolderLeavesAnEmptyBinPath) {
  rig.settings().BinPath = "/old/";
  Upload("demo.binary", 0);
  EXPECT_EQ(rig.settings().BinPath, "");
}

TEST_F(ProgramUploadTest, TheChosenKindDecidesNotTheExtension) {
  // A ".binary" file picked under Prepare is only remembered.
  Upload("/data/demo.binary", 4);
  EXPECT_EQ(rig.p().decoder().PreparedFile, "/data/demo.binary");
  EXPECT_EQ(rig.p().UploadPatternIndex, 4);
  EXPECT_TRUE(rig.port.events.empty());
  EXPECT_TRUE(transfers.calls.empty());
}

TEST_F(ProgramUploadTest, ObjectFileAsksForTheHubAddressInHex) {
  rig.host.inputAnswers.push_back("1F0");
  Upload("/p2/blink.obj", 3);
  ASSERT_EQ(rig.host.inputRequests.size(), 1u);
  EXPECT_EQ(rig.host.inputRequests[0].title, "Kestrix2");
  EXPECT_EQ(rig.host.inputRequests[0].message, "Hubaddress to load to? (hex)");
  EXPECT_EQ(rig.host.inputRequests[0].defaultText, "E80");
  // Cancelled: loads at hub address 0.
  Upload("/p2/blink.obj", 3);
  EXPECT_EQ(transfers.calls,
            (std::vector<std::string>{"monitor /p2/blink.obj 496 @3",
                                      "monitor /p2/blink.obj 0 @3"}));
  EXPECT_EQ(rig.p().UploadPatternIndex, 3);
}

TEST_F(ProgramUploadTest, TextFileSendSeesThePreviousKind) {
  Upload("/data/demo.binary", 4);
  Upload("/data/notes.txt", 2);
  EXPECT_EQ(transfers.calls,
            (std::vector<std::string>{"text /data/notes.txt @4"}));
  EXPECT_EQ(rig.p().UploadPatternIndex, 2);
}

TEST_F(ProgramUploadTest, ClosedPortUploadShowsTheDriversBoxOnly) {
  rig.port.ClosePort();
  rig.port.events.clear();
  rig.p().OnMenuCommand(kMenuBaudFirst + 1);
  Upload("/data/demo.binary", 0);
  EXPECT_EQ(rig.host.boxes, (std::vector<std::pair<std::string, std::string>>{
                                {"No COM", "wrong number or not activated"}}));
  EXPECT_TRUE(rig.port.EventsOf({"DTR", "RTS", "write"}).empty());
}

}  // namespace
}  // namespace kestrix::test
