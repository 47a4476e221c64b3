#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

class ProgramPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.port.existingPorts = {6, 7};
    rig.Start();
    rig.port.events.clear();
    rig.p().decoder().PrintText("old");
  }
  void Menu(int id) { rig.p().OnMenuCommand(id); }
  bool ScreenWasCleared() { return rig.p().screen.ScreenText.empty(); }
  ProgramRig rig;
};

TEST_F(ProgramPortTest, ConnectPortOnAnOpenPortOnlySetsTheMark) {
  rig.view.SetChecked(kMenuComEnabled, false);
  rig.p().ConnectPort();
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_TRUE(rig.port.events.empty());
  EXPECT_FALSE(ScreenWasCleared());
}

TEST_F(ProgramPortTest, ConnectPortOpensNumberRateAndDtrChoiceThenClears) {
  rig.port.ClosePort();
  rig.port.events.clear();
  rig.settings().ComNr = 7;
  rig.settings().BaudRate = 3;
  rig.settings().FT232R = 1;
  rig.p().ConnectPort();
  EXPECT_EQ(rig.port.events, (std::vector<std::string>{"open 7 @3 ft1"}));
  EXPECT_TRUE(ScreenWasCleared());
  EXPECT_TRUE(rig.host.boxes.empty());
}

TEST_F(ProgramPortTest, ConnectPortFailureShowsTheBoxAndClearsTheMark) {
  rig.port.ClosePort();
  rig.settings().ComNr = 8;
  rig.p().ConnectPort();
  EXPECT_EQ(rig.host.boxes, (std::vector<std::pair<std::string, std::string>>{
                                {"Error", "COM port not found"}}));
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_FALSE(ScreenWasCleared());
}

TEST_F(ProgramPortTest, ComPortAnswersWithoutAPositiveNumberChangeNothing) {
  for (const char* answer : {"0", "COM3", "", "-4", "x7"}) {
    rig.host.inputAnswers.push_back(answer);
    Menu(kMenuComPort);
    EXPECT_TRUE(rig.port.events.empty()) << answer;
    EXPECT_EQ(rig.settings().ComNr, 6) << answer;
  }
  ASSERT_FALSE(rig.host.inputRequests.empty());
  EXPECT_EQ(rig.host.inputRequests[0].title, "ComPort");
  EXPECT_EQ(rig.host.inputRequests[0].message,
            "On which COM is the Propeller connected?");
  EXPECT_EQ(rig.host.inputRequests[0].defaultText, "6");
}

TEST_F(ProgramPortTest, ComPortWithBlanksBeforeTheNumberReconnects) {
  rig.host.inputAnswers.push_back("  7");
  Menu(kMenuComPort);
  EXPECT_EQ(rig.settings().ComNr, 7);
  EXPECT_EQ(rig.port.events,
            (std::vector<std::string>{"close", "open 7 @0 ft0"}));
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_TRUE(ScreenWasCleared());
  // The next requester offers the new number.
  Menu(kMenuComPort);
  EXPECT_EQ(rig.host.inputRequests.back().defaultText, "7");
}

TEST_F(ProgramPortTest, ComPortToAMissingPortLeavesItClosedWithTheBox) {
  rig.host.inputAnswers.push_back("9");
  Menu(kMenuComPort);
  EXPECT_EQ(rig.settings().ComNr, 9);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.host.boxes.size(), 1u);
}

TEST_F(ProgramPortTest, ComEnabledReleasesToThePropellerToolAndTakesBack) {
  rig.host.windows = {"Propeller Tool"};
  Menu(kMenuComEnabled);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.host.raisedWindows,
            (std::vector<std::string>{"Propeller Tool"}));
  Menu(kMenuComEnabled);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.port.events,
            (std::vector<std::string>{"close", "open 6 @0 ft0"}));
  EXPECT_TRUE(ScreenWasCleared());
}

TEST_F(ProgramPortTest, ComEnabledClearedOnAClosedPortDoesNothingMore) {
  rig.port.ClosePort();
  rig.port.events.clear();
  rig.view.SetChecked(kMenuComEnabled, true);
  Menu(kMenuComEnabled);
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_TRUE(rig.port.events.empty());
  EXPECT_TRUE(rig.host.raiseRequests.empty());
}

// Auto mode: runs on timer ticks while its mark is set.

TEST_F(ProgramPortTest, AutoModeReleasesWhenMinimisedAndReconnectsRestored) {
  rig.view.innerHeightWithMenu = 21;
  rig.p().AfterEvent(true);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.p().AutoReleased, 1);
  // No raising of the IDE for the automatic release.
  EXPECT_TRUE(rig.host.raiseRequests.empty());
  // Further ticks while small change nothing.
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.port.events, (std::vector<std::string>{"close"}));

  rig.view.innerHeightWithMenu = 446;
  rig.p().AfterEvent(true);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.p().AutoReleased, 0);
  EXPECT_TRUE(ScreenWasCleared());
}

TEST_F(ProgramPortTest, AutoModeIgnoresMiddleHeightsNonTicksAndAnUnsetMark) {
  for (int height : {120, 150, 180}) {
    rig.view.innerHeightWithMenu = height;
    rig.p().AfterEvent(true);
  }
  EXPECT_TRUE(rig.port.IsOpen());
  rig.view.innerHeightWithMenu = 21;
  rig.p().AfterEvent(false);
  EXPECT_TRUE(rig.port.IsOpen());
  Menu(kMenuAutoMode);
  rig.p().AfterEvent(true);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_EQ(rig.p().AutoReleased, 0);

  // Released state: 150 does not reconnect.
  Menu(kMenuAutoMode);
  rig.p().AfterEvent(true);
  rig.view.innerHeightWithMenu = 150;
  rig.p().AfterEvent(true);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(rig.p().AutoReleased, 1);
  rig.view.innerHeightWithMenu = 181;
  rig.p().AfterEvent(true);
  EXPECT_TRUE(rig.port.IsOpen());
}

TEST_F(ProgramPortTest, AutoModeReconnectsAPortTheUserReleased) {
  Menu(kMenuComEnabled);
  ASSERT_FALSE(rig.port.IsOpen());
  rig.view.innerHeightWithMenu = 21;
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.p().AutoReleased, 1);
  rig.view.innerHeightWithMenu = 446;
  rig.p().AfterEvent(true);
  EXPECT_TRUE(rig.port.IsOpen());
}

TEST_F(ProgramPortTest, AutoModeFailedReconnectShowsTheBoxAndGivesUp) {
  rig.view.innerHeightWithMenu = 21;
  rig.p().AfterEvent(true);
  rig.port.existingPorts = {};
  rig.view.innerHeightWithMenu = 446;
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.host.boxes.size(), 1u);
  EXPECT_EQ(rig.p().AutoReleased, 0);
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  rig.p().AfterEvent(true);
  EXPECT_EQ(rig.host.boxes.size(), 1u);
}

// A vanished adapter.

TEST_F(ProgramPortTest, PortLostClearsComEnabledAndStopsPolling) {
  rig.port.Lose();
  rig.p().OnPortLost();
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  const int reads = rig.port.readCalls;
  for (int i = 0; i < 5; ++i) rig.p().AfterEvent(true);
  EXPECT_EQ(rig.port.readCalls, reads);
  // Typing on the dead port sends nothing and harms nothing.
  rig.p().OnKeyDown(0x25);
  EXPECT_TRUE(rig.port.writes.empty());
  // Com Enabled connects again.
  Menu(kMenuComEnabled);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
}

TEST_F(ProgramPortTest, PortLostWhileMinimisedIsReconnectedByTheAutoMode) {
  rig.port.Lose();
  rig.p().OnPortLost();
  rig.view.innerHeightWithMenu = 21;
  rig.p().AfterEvent(true);
  rig.view.innerHeightWithMenu = 446;
  rig.p().AfterEvent(true);
  EXPECT_TRUE(rig.port.IsOpen());
}

TEST_F(ProgramPortTest, PortLostDuringACommandIsAppliedWhenItEnds) {
  rig.host.whileOpen = [this] {
    rig.port.Lose();
    rig.p().OnPortLost();
    // Still inside the requester: not applied yet.
    EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
  };
  Menu(kMenuSaveText);
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
}

TEST_F(ProgramPortTest, PortLostDuringAReconnectKeepsTheNewConnection) {
  rig.host.whileOpen = [this] {
    rig.port.Lose();
    rig.p().OnPortLost();
  };
  rig.host.inputAnswers.push_back("7");
  Menu(kMenuComPort);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
}

}  // namespace
}  // namespace kestrix::test
