#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class LoggingTransfers : public LaterTransfers {
 public:
  explicit LoggingTransfers(std::vector<std::string>& log) : log_(log) {}
  void MonitorLoad(const std::string&, std::int32_t) override {}
  void SendTextFile(const std::string&) override {}
  void CarryOutServiceRequest(int request) override {
    log_.push_back("service " + std::to_string(request));
  }

 private:
  std::vector<std::string>& log_;
};

class ProgramLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Start();
    rig.p().SetLaterTransfers(&transfers);
  }
  ProgramRig rig;
  LoggingTransfers transfers{rig.log};
};

// The device clears, prints the name T.TXT, asks for service "t" and then
// asks whether pixel (200, 200) is black.
const Bytes kRequestThenQuery = {0,    'T', '.', 'T', 'X',  'T', 5,
                                 0x82, 5,   't', 5,   0x09, 100, 100};

TEST_F(ProgramLoopTest, ServiceRequestRunsBeforeTheReplyByteIsSent) {
  rig.port.Feed(kRequestThenQuery);
  rig.log.clear();
  rig.p().AfterEvent(false);
  const int service = rig.Find("service " + std::to_string(2 * 't'));
  const int reply = rig.Find("port write 1");
  ASSERT_GE(service, 0);
  ASSERT_GE(reply, 0);
  EXPECT_LT(service, reply);
  EXPECT_EQ(rig.port.Written(), (Bytes{0xFE}));
  EXPECT_EQ(rig.p().decoder().ServiceRequest, 0);
  EXPECT_EQ(rig.p().decoder().graphics.ReplyByte, 0);
  // Both are done: the next chunk repeats neither.
  rig.port.Feed("x");
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.LogOf("service").size(), 1u);
  EXPECT_EQ(rig.port.writes.size(), 1u);
}

TEST_F(ProgramLoopTest, PendingRequestAndReplyWaitForATurnWithBytes) {
  rig.p().decoder().ServiceRequest = 2 * 'o';
  rig.p().decoder().graphics.ReplyByte = 0x1FF;
  rig.p().AfterEvent(false);
  rig.p().AfterEvent(true);
  EXPECT_TRUE(rig.LogOf("service").empty());
  EXPECT_TRUE(rig.port.writes.empty());
  rig.port.Feed("z");
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.LogOf("service"),
            (std::vector<std::string>{"service " + std::to_string(2 * 'o')}));
  // Only the low byte goes out.
  EXPECT_EQ(rig.port.Written(), (Bytes{0xFF}));
}

TEST_F(ProgramLoopTest, OneTurnReadsAtMost1024Bytes) {
  rig.port.Feed(std::string(1500, 'A'));
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.p().screen.ScreenText.size(), 1024u);
  EXPECT_EQ(rig.port.incoming.size(), 476u);
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.p().screen.ScreenText.size(), 1500u);
}

TEST_F(ProgramLoopTest, UploadRequestLoadsTheNamedFileFromTheBinaryFolder) {
  rig.WriteFile("app.binary", std::string(8, '\0'));
  rig.settings().BinPath = rig.folder.string() + "/";
  Bytes chunk = {0,   'a', 'p', 'p', '.',  'b', 'i', 'n',
                 'a', 'r', 'y', 5,   0x82, 10,  'b'};
  rig.port.Feed(chunk);
  rig.port.events.clear();
  rig.p().AfterEvent(false);
  // Found: reset before reading and again before the handshake.
  EXPECT_EQ(rig.port.EventsOf({"DTR+"}).size(), 2u);
  EXPECT_TRUE(rig.LogOf("service").empty());
  EXPECT_EQ(rig.p().screen.ScreenText.find("No such file"), std::string::npos);
}

TEST_F(ProgramLoopTest, EepromRequestGoesToTheUploadToo) {
  Bytes chunk = {0, 'x', '.', 'e', 'e', 'p', 'r', 'o', 'm', 5, 0x82, 8, 'e'};
  rig.port.Feed(chunk);
  rig.port.events.clear();
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.port.EventsOf({"DTR+"}).size(), 1u);
  EXPECT_NE(rig.p().screen.ScreenText.find("No such file"), std::string::npos);
}

TEST_F(ProgramLoopTest, KeysAreEncodedOntoThePort) {
  rig.p().OnKeyDown(0x25);  // Left
  rig.p().OnKeyDown(0x41);  // A: its character goes out instead
  rig.p().OnCharacter('a');
  rig.p().OnKeyUp(0x41);
  EXPECT_EQ(rig.port.Written(), (Bytes{0xC0, 'a'}));
}

TEST_F(ProgramLoopTest, MouseMovesReportOnlyInTheDeviceDisplay) {
  rig.p().OnMouseMove({100, 37});
  EXPECT_TRUE(rig.port.writes.empty());
  rig.p().OnMenuCommand(kMenuNormalTerminal);  // MsMoveOff 0
  rig.p().OnMouseMove({100, 37});
  EXPECT_EQ(rig.port.Written(), (Bytes{5, 0x10, 50, 18}));
}

TEST_F(ProgramLoopTest, ButtonsSetBitsAndAnyReleaseClearsThem) {
  rig.p().OnLeftPress({100, 37});
  rig.p().OnRightPress({101, 36});
  rig.p().OnButtonRelease({101, 36});
  ASSERT_EQ(rig.port.writes.size(), 3u);
  EXPECT_EQ(rig.port.writes[0], (Bytes{5, 0x11, 50, 18}));
  EXPECT_EQ(rig.port.writes[1], (Bytes{5, 0x23, 50, 18}));
  EXPECT_EQ(rig.port.writes[2], (Bytes{5, 0x20, 50, 18}));
  rig.port.ClosePort();
  rig.p().OnLeftPress({0, 0});
  EXPECT_EQ(rig.port.writes.size(), 3u);
}

// Events that arrive while a command runs (a requester or a transfer pumps
// them) are consumed without effect.
TEST_F(ProgramLoopTest, EntryPointsDoNothingWhileAnotherRuns) {
  int nestedRuns = 0;
  rig.host.whileOpen = [&] {
    ++nestedRuns;
    EXPECT_TRUE(rig.p().Busy());
    rig.port.Feed("late");
    rig.p().AfterEvent(true);
    rig.p().OnMenuCommand(kMenuSaveText);
    rig.p().OnMenuCommand(kMenuComEnabled);
    rig.p().OnKeyDown(0x25);
    rig.p().OnCharacter('q');
    rig.p().OnKeyUp(0x10);
    rig.p().OnLeftPress({1, 1});
    rig.p().OnRightPress({1, 1});
    rig.p().OnButtonRelease({1, 1});
    rig.p().OnMouseMove({1, 1});
  };
  rig.p().OnMenuCommand(kMenuSaveText);
  EXPECT_EQ(nestedRuns, 1);
  EXPECT_FALSE(rig.p().Busy());
  EXPECT_TRUE(rig.port.writes.empty());
  EXPECT_EQ(rig.port.incoming.size(), 4u);
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.p().mouseButtons().Bits(), 0);
  // Afterwards the waiting bytes are read as usual.
  rig.host.whileOpen = nullptr;
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.p().screen.ScreenText, "late");
}

TEST_F(ProgramLoopTest, AboutHoldsOffInputDuringItsWait) {
  rig.clock.onSleep = [&](int) {
    rig.p().OnKeyDown(0x25);
    rig.p().AfterEvent(false);
  };
  rig.port.Feed("w");
  rig.p().OnMenuCommand(kMenuAbout);
  EXPECT_TRUE(rig.port.writes.empty());
  EXPECT_EQ(rig.port.incoming.size(), 1u);
}

TEST_F(ProgramLoopTest, QuitEndsTheLoopAfterTheTurn) {
  rig.p().OnCloseRequest();
  EXPECT_TRUE(rig.p().QuitRequested());
}

}  // namespace
}  // namespace kestrix::test
