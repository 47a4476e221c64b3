#include <gtest/gtest.h>

#include "app/MenuIds.h"
#include "app/ProgramTestRig.h"

namespace kestrix::test {
namespace {

class ProgramPortTest : public ProgramTest {
 protected:
  // A timer tick with the window's inner height at `height`.
  void Tick(int height) {
    rig_.view.innerHeightWithMenu = height;
    rig_.p().AfterEvent(true);
  }
  bool Connected() {
    return rig_.port.IsOpen() && rig_.view.IsChecked(kMenuComEnabled);
  }
};

TEST_F(ProgramPortTest, ComPortAsksForANumberAndReconnectsToIt) {
  rig_.Show("old");
  for (const char* answer : {"0", "COM3", "", "-4"}) {
    rig_.host.inputAnswers.push_back(answer);
    rig_.Menu(kMenuComPort);
  }
  EXPECT_TRUE(rig_.Of("port").empty());
  EXPECT_EQ(rig_.settings().ComNr, 6);
  // Each answer that is not a port number is told so; cancelling is not.
  const Lines boxes = rig_.Of("host box");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[1].find("ComPort / \"COM3\" is not a COM port number"), 0u);
  // The requester lists what the line finds.
  rig_.port.adapters = "Serial adapters present:\nCOM7    /dev/fake7";
  rig_.host.inputAnswers.push_back("");
  rig_.log.clear();
  rig_.Menu(kMenuComPort);
  EXPECT_EQ(rig_.Of("host"),
            Lines{"input ComPort; On which COM is the Propeller "
                  "connected?\n\nSerial adapters present:\nCOM7    "
                  "/dev/fake7; 6"});
  // Blanks before the number are skipped; the screen is cleared.
  rig_.LoadSettingsLines("BaudRate=3\r\nFT232R=1\r\n");
  rig_.log.clear();
  rig_.host.inputAnswers.push_back("  7");
  rig_.Menu(kMenuComPort);
  EXPECT_EQ(rig_.Of("port"), (Lines{"close", "open 7 @3 ft1"}));
  EXPECT_TRUE(Connected());
  EXPECT_EQ(rig_.p().screen().ScreenText, "");
}

TEST_F(ProgramPortTest, AutoModeReleasesBelow120AndReconnectsAbove180) {
  Tick(119);
  Tick(21);
  EXPECT_FALSE(rig_.port.IsOpen());
  EXPECT_FALSE(rig_.view.IsChecked(kMenuComEnabled));
  // No raising of the IDE for the automatic release.
  EXPECT_EQ(rig_.log, (Lines{"view mark 5 off", "port close"}));
  Tick(180);
  EXPECT_FALSE(rig_.port.IsOpen());
  Tick(181);
  EXPECT_TRUE(Connected());
  // Middle heights and an unset mark never release.
  Tick(120);
  EXPECT_TRUE(rig_.port.IsOpen());
  rig_.Menu(kMenuAutoMode);
  Tick(21);
  EXPECT_TRUE(rig_.port.IsOpen());

  // A failed reconnect shows the box once and gives up.
  rig_.Menu(kMenuAutoMode);
  Tick(21);
  rig_.port.existingPorts = {};
  rig_.log.clear();
  Tick(446);
  Tick(446);
  EXPECT_EQ(rig_.Of("host"),
            Lines{"box Error / COM port not found\n\n"
                  "COM6 is /dev/fake6.\n"
                  "Choose another port with Options > Com-Port; it lists the "
                  "serial adapters present."});
}

// A pulled adapter closes the port; a line says so, and another when the
// port is taken again. Reported inside a command, it is applied when the
// command ends.
TEST_F(ProgramPortTest, PortLostShowsALineAndIsAppliedWhenACommandEnds) {
  rig_.host.whileOpen = [this] {
    rig_.port.Lose();
    rig_.p().OnPortLost();
    EXPECT_TRUE(rig_.view.IsChecked(kMenuComEnabled));
  };
  rig_.Menu(kMenuSaveText);
  rig_.host.whileOpen = nullptr;
  EXPECT_FALSE(rig_.view.IsChecked(kMenuComEnabled));
  EXPECT_EQ(rig_.p().screen().ScreenText, "COM port lost\r\n");
  rig_.p().OnPortLost();  // told twice, shown once
  EXPECT_EQ(rig_.p().screen().ScreenText, "COM port lost\r\n");
  rig_.Menu(kMenuComEnabled);
  EXPECT_TRUE(Connected());
  EXPECT_EQ(rig_.p().screen().ScreenText, "COM port retaken\r\n");
  // Lost while a reconnect asks for the number: the new connection stays.
  rig_.host.whileOpen = [this] {
    rig_.port.Lose();
    rig_.p().OnPortLost();
  };
  rig_.host.inputAnswers.push_back("7");
  rig_.Menu(kMenuComPort);
  EXPECT_TRUE(Connected());
  EXPECT_EQ(rig_.p().screen().ScreenText, "");
  // Com Enabled off hands the port to the vendor's IDE.
  rig_.host.whileOpen = nullptr;
  rig_.log.clear();
  rig_.Menu(kMenuComEnabled);
  EXPECT_EQ(rig_.log, (Lines{"view mark 5 off", "port close",
                             "host raise Propeller Tool"}));
}

}  // namespace
}  // namespace kestrix::test
