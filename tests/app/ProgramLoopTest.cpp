#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class LoggingTransfers : public LaterTransfers {
 public:
  explicit LoggingTransfers(Lines& log) : log_(log) {}
  void MonitorLoad(const std::string&, std::int32_t) override {}
  void SendTextFile(const std::string&) override {}
  void CarryOutServiceRequest(int request) override {
    log_.push_back("service " + std::to_string(request));
  }

 private:
  Lines& log_;
};

class ProgramLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Start();
    rig.p().SetLaterTransfers(&transfers);
    rig.log.clear();
  }
  ProgramRig rig;
  LoggingTransfers transfers{rig.log};
};

TEST_F(ProgramLoopTest, ServiceRequestRunsBeforeTheReplyByteIsSent) {
  // The device clears, prints the name T.TXT, asks for service "t" and then
  // asks whether pixel (200, 200) is black.
  rig.port.Feed(
      Bytes{0, 'T', '.', 'T', 'X', 'T', 5, 0x82, 5, 't', 5, 0x09, 100, 100});
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.Of("service"), Lines{std::to_string(2 * 't')});
  EXPECT_LT(rig.Find("service 232"), rig.Find("port write 1"));
  EXPECT_EQ(rig.port.Written(), (Bytes{0xFE}));
  // Both are done: the next chunk repeats neither.
  rig.port.Feed(std::string("x"));
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.Count("service"), 1);
  EXPECT_EQ(rig.port.writes.size(), 1u);

  // Pending ones wait for a turn that brings bytes.
  rig.p().decoder().ServiceRequest = 2 * 'o';
  rig.p().decoder().graphics.ReplyByte = 0x1FF;
  rig.p().AfterEvent(false);
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.Count("service"), 1);
  rig.port.Feed(std::string("z"));
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.Of("service").back(), std::to_string(2 * 'o'));
  // Only the low byte goes out.
  EXPECT_EQ(rig.port.Written(), (Bytes{0xFE, 0xFF}));
}

TEST_F(ProgramLoopTest, OneTurnReadsAtMost1024Bytes) {
  rig.port.Feed(std::string(1500, 'A'));
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.p().screen.ScreenText.size(), 1024u);
  EXPECT_EQ(rig.port.incoming.size(), 476u);
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.p().screen.ScreenText.size(), 1500u);
}

TEST_F(ProgramLoopTest, UploadRequestsLoadFromTheBinaryFolder) {
  // A found file gets a reset before reading and another before the
  // handshake; a missing one only the first.
  struct Case {
    std::string name;
    char kind;
    int resets;
    bool found;
  };
  const Case cases[] = {{"app.binary", 'b', 2, true},
                        {"x.eeprom", 'e', 1, false}};
  rig.WriteFile("app.binary", std::string(8, '\0'));
  rig.settings().BinPath = rig.folder.string() + "/";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    rig.log.clear();
    std::string chunk = std::string(1, '\0') + c.name + "\x05\x82";
    chunk += static_cast<char>(c.name.size());
    chunk += c.kind;
    rig.port.Feed(chunk);
    rig.p().AfterEvent(false);
    EXPECT_EQ(rig.Count("port DTR+"), c.resets);
    EXPECT_EQ(rig.Count("service"), 0);
    EXPECT_EQ(
        rig.p().screen.ScreenText.find("No such file") == std::string::npos,
        c.found);
  }
}

TEST_F(ProgramLoopTest, KeysAndMouseReachThePort) {
  rig.p().OnKeyDown(0x25);  // Left
  rig.p().OnKeyDown(0x41);  // A: its character goes out instead
  rig.p().OnCharacter('a');
  rig.p().OnKeyUp(0x41);
  // Moves report only in the device display; buttons set bits and any
  // release clears them.
  rig.p().OnMouseMove({100, 37});
  rig.p().OnLeftPress({100, 37});
  rig.p().OnRightPress({101, 36});
  rig.p().OnButtonRelease({101, 36});
  rig.p().OnMenuCommand(kMenuNormalTerminal);  // MsMoveOff 0
  rig.p().OnMouseMove({100, 37});
  EXPECT_EQ(rig.port.writes, (std::vector<Bytes>{{0xC0},
                                                 {'a'},
                                                 {5, 0x11, 50, 18},
                                                 {5, 0x23, 50, 18},
                                                 {5, 0x20, 50, 18},
                                                 {5, 0x10, 50, 18}}));
  rig.port.ClosePort();
  rig.p().OnLeftPress({0, 0});
  EXPECT_EQ(rig.port.writes.size(), 6u);
}

// Events that arrive while a command runs (a requester, a transfer or the
// About panel's wait) are consumed without effect.
TEST_F(ProgramLoopTest, EntryPointsDoNothingWhileAnotherRuns) {
  int nestedRuns = 0;
  rig.host.whileOpen = [&] {
    ++nestedRuns;
    EXPECT_TRUE(rig.p().Busy());
    rig.port.Feed(std::string("late"));
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
  rig.clock.onSleep = [&](int) {
    rig.p().OnKeyDown(0x25);
    rig.p().AfterEvent(false);
  };
  rig.p().OnMenuCommand(kMenuAbout);
  EXPECT_TRUE(rig.port.writes.empty());
  EXPECT_EQ(rig.port.incoming.size(), 4u);
  // Afterwards the waiting bytes are read as usual.
  rig.p().AfterEvent(false);
  EXPECT_EQ(rig.p().screen.ScreenText, "late");
}

}  // namespace
}  // namespace kestrix::test
