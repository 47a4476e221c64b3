#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

class ProgramPortTest : public ProgramTest {
 protected:
  // A timer tick with the window's inner height at `height`.
  void Tick(int height) {
    rig.view.innerHeightWithMenu = height;
    rig.p().AfterEvent(true);
  }
  bool Connected() {
    return rig.port.IsOpen() && rig.view.IsChecked(kMenuComEnabled);
  }
};

TEST_F(ProgramPortTest, ComPortAsksForANumberAndReconnectsToIt) {
  rig.p().engine.PrintText("old");
  for (const char* answer : {"0", "COM3", "", "-4"}) {
    rig.host.inputAnswers.push_back(answer);
    rig.Menu(kMenuComPort);
  }
  EXPECT_TRUE(rig.Of("port").empty());
  EXPECT_EQ(rig.settings().ComNr, 6);
  // Blanks before the number are skipped; the screen is cleared.
  rig.log.clear();
  rig.settings().BaudRate = 3;
  rig.settings().FT232R = 1;
  rig.host.inputAnswers.push_back("  7");
  rig.Menu(kMenuComPort);
  EXPECT_EQ(rig.Of("port"), (Lines{"close", "open 7 @3 ft1"}));
  EXPECT_TRUE(Connected());
  EXPECT_EQ(rig.p().screen.ScreenText, "");
}

TEST_F(ProgramPortTest, AutoModeReleasesBelow120AndReconnectsAbove180) {
  Tick(119);
  Tick(21);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  // No raising of the IDE for the automatic release.
  EXPECT_EQ(rig.log, (Lines{"view mark 5 off", "port close"}));
  Tick(180);
  EXPECT_FALSE(rig.port.IsOpen());
  Tick(181);
  EXPECT_TRUE(Connected());
  // Middle heights and an unset mark never release.
  Tick(120);
  EXPECT_TRUE(rig.port.IsOpen());
  rig.Menu(kMenuAutoMode);
  Tick(21);
  EXPECT_TRUE(rig.port.IsOpen());

  // A failed reconnect shows the box once and gives up.
  rig.Menu(kMenuAutoMode);
  Tick(21);
  rig.port.existingPorts = {};
  rig.log.clear();
  Tick(446);
  Tick(446);
  EXPECT_EQ(rig.Of("host"), Lines{"box Error / COM port not found"});
  EXPECT_EQ(rig.p().AutoReleased, 0);
}

// A loss reported inside a command is applied when the command ends.
TEST_F(ProgramPortTest, PortLostDuringACommandIsAppliedWhenItEnds) {
  rig.host.whileOpen = [this] {
    rig.port.Lose();
    rig.p().OnPortLost();
    EXPECT_TRUE(rig.view.IsChecked(kMenuComEnabled));
  };
  rig.Menu(kMenuSaveText);
  EXPECT_FALSE(rig.view.IsChecked(kMenuComEnabled));
  // Lost while a reconnect asks for the number: the new connection stays.
  rig.host.whileOpen = [this] {
    rig.port.Lose();
    rig.p().OnPortLost();
  };
  rig.host.inputAnswers.push_back("7");
  rig.Menu(kMenuComPort);
  EXPECT_TRUE(Connected());
  // Com Enabled off hands the port to the vendor's IDE.
  rig.log.clear();
  rig.Menu(kMenuComEnabled);
  EXPECT_EQ(rig.log, (Lines{"view mark 5 off", "port close",
                            "host raise Propeller Tool"}));
}

}  // namespace
}  // namespace kestrix::test
