#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

const Lines kNotFound = {"box Error / COM port not found"};

class ProgramPortTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.port.existingPorts = {6, 7};
    rig.Start();
    rig.log.clear();
    rig.p().decoder().PrintText("old");
  }
  void Menu(int id) { rig.p().OnMenuCommand(id); }
  // A timer tick with the window's inner height at `height`.
  void Tick(int height) {
    rig.view.innerHeightWithMenu = height;
    rig.p().AfterEvent(true);
  }
  bool Connected() {
    return rig.port.IsOpen() && rig.view.IsChecked(kMenuComEnabled);
  }
  bool ScreenWasCleared() { return rig.p().screen.ScreenText.empty(); }
  ProgramRig rig;
};

TEST_F(ProgramPortTest, ConnectPort) {
  // On an open port it only sets the mark.
  rig.view.SetChecked(kMenuComEnabled, false);
  rig.log.clear();
  rig.p().ConnectPort();
  EXPECT_EQ(rig.log, Lines{"view mark 5 on"});
  EXPECT_FALSE(ScreenWasCleared());

  // A missing port shows the box and clears the mark.
  rig.port.ClosePort();
  rig.settings().ComNr = 8;
  rig.p().ConnectPort();
  EXPECT_EQ(rig.Of("host"), kNotFound);
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_FALSE(ScreenWasCleared());

  // Opens the number at the rate with the DTR choice, then clears.
  rig.log.clear();
  rig.settings().ComNr = 7;
  rig.settings().BaudRate = 3;
  rig.settings().FT232R = 1;
  rig.p().ConnectPort();
  EXPECT_EQ(rig.Of("port"), Lines{"open 7 @3 ft1"});
  EXPECT_TRUE(Connected());
  EXPECT_TRUE(ScreenWasCleared());
  EXPECT_TRUE(rig.Of("host").empty());
}

TEST_F(ProgramPortTest, ComPortAsksForANumberAndReconnectsToIt) {
  // Answers without a positive number change nothing.
  for (const char* answer : {"0", "COM3", "", "-4", "x7"}) {
    rig.host.inputAnswers.push_back(answer);
    Menu(kMenuComPort);
    EXPECT_TRUE(rig.Of("port").empty()) << answer;
    EXPECT_EQ(rig.settings().ComNr, 6) << answer;
  }
  EXPECT_EQ(rig.Of("host").front(),
            "input ComPort; On which COM is the Propeller connected?; 6");

  // Blanks before the number are skipped.
  rig.log.clear();
  rig.host.inputAnswers.push_back("  7");
  Menu(kMenuComPort);
  EXPECT_EQ(rig.settings().ComNr, 7);
  EXPECT_EQ(rig.Of("port"), (Lines{"close", "open 7 @0 ft0"}));
  EXPECT_TRUE(Connected());
  EXPECT_TRUE(ScreenWasCleared());

  // The next requester offers the new number; a missing port stays closed.
  rig.log.clear();
  rig.host.inputAnswers.push_back("9");
  Menu(kMenuComPort);
  EXPECT_EQ(rig.Of("host"),
            (Lines{"input ComPort; On which COM is the Propeller connected?; 7",
                   kNotFound[0]}));
  EXPECT_EQ(rig.settings().ComNr, 9);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
}

TEST_F(ProgramPortTest, ComEnabledReleasesToThePropellerToolAndTakesBack) {
  Menu(kMenuComEnabled);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.Of("host"), Lines{"raise Propeller Tool"});
  Menu(kMenuComEnabled);
  EXPECT_TRUE(Connected());
  EXPECT_EQ(rig.Of("port"), (Lines{"close", "open 6 @0 ft0"}));
  EXPECT_TRUE(ScreenWasCleared());

  // Cleared on a port that is closed already: only the mark goes.
  rig.port.ClosePort();
  rig.log.clear();
  Menu(kMenuComEnabled);
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.log, Lines{"view mark 5 off"});
}

// Auto mode: runs on timer ticks while its mark is set.

TEST_F(ProgramPortTest, AutoModeReleasesWhenMinimisedAndReconnectsRestored) {
  Tick(21);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig.p().AutoReleased, 1);
  // No raising of the IDE for the automatic release, and further ticks
  // while small change nothing.
  Tick(21);
  EXPECT_EQ(rig.Of("port"), Lines{"close"});
  EXPECT_TRUE(rig.Of("host").empty());
  // Middle heights (down to 150) do not reconnect; above 180 does.
  Tick(150);
  EXPECT_FALSE(rig.port.IsOpen());
  Tick(181);
  EXPECT_TRUE(Connected());
  EXPECT_EQ(rig.p().AutoReleased, 0);
  EXPECT_TRUE(ScreenWasCleared());

  // Middle heights, events that are not ticks and an unset mark never
  // release.
  for (int height : {120, 150, 180}) Tick(height);
  rig.view.innerHeightWithMenu = 21;
  rig.p().AfterEvent(false);
  EXPECT_TRUE(rig.port.IsOpen());
  Menu(kMenuAutoMode);
  Tick(21);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_EQ(rig.p().AutoReleased, 0);
}

TEST_F(ProgramPortTest, AutoModeReconnectsWhateverClosedThePort) {
  // Released by the user.
  Menu(kMenuComEnabled);
  Tick(21);
  EXPECT_EQ(rig.p().AutoReleased, 1);
  Tick(446);
  EXPECT_TRUE(Connected());
  // A vanished adapter.
  rig.port.Lose();
  rig.p().OnPortLost();
  Tick(21);
  Tick(446);
  EXPECT_TRUE(Connected());

  // A failed reconnect shows the box once and gives up.
  Tick(21);
  rig.port.existingPorts = {};
  rig.log.clear();
  Tick(446);
  Tick(446);
  EXPECT_EQ(rig.Of("host"), kNotFound);
  EXPECT_EQ(rig.p().AutoReleased, 0);
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
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
  EXPECT_TRUE(Connected());
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
  // Lost while a reconnect asks for the number: the new connection stays.
  rig.host.whileOpen = [this] {
    rig.port.Lose();
    rig.p().OnPortLost();
  };
  rig.host.inputAnswers.push_back("7");
  Menu(kMenuComPort);
  EXPECT_TRUE(Connected());
}

}  // namespace
}  // namespace kestrix::test
