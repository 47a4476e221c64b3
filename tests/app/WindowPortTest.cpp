// Releasing and re-taking the port from the window: the Com Enabled item,
// the auto mode on minimising, a missing device.
#include "app/MenuIds.h"
#include "app/WindowRig.h"

namespace kestrix::test {
namespace {

class WindowPort : public WindowTest {};

TEST_F(WindowPort, ComEnabledReleasesAndRetakesThePort) {
  WindowRig rig;
  rig.Start();
  ASSERT_TRUE(rig.port.IsOpen());
  rig.Menu(kMenuComEnabled);
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_FALSE(rig.window->IsChecked(kMenuComEnabled));
  // Releasing looks for the vendor's IDE to hand the port to.
  EXPECT_EQ(rig.log, std::vector<std::string>{"host raise Propeller Tool"});
  // Bytes sent meanwhile wait in the line, unread.
  rig.pty.Send("late");
  rig.Spin(100);
  EXPECT_EQ(rig.program->screen.ScreenText, "");
  rig.Menu(kMenuComEnabled);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.window->IsChecked(kMenuComEnabled));
}

TEST_F(WindowPort, AutoModeReleasesWhileMinimisedAndReconnectsWhenRestored) {
  WindowRig rig({"AutoDis=1"});
  rig.Start();
  ASSERT_TRUE(rig.port.IsOpen());
  ASSERT_TRUE(rig.window->IsChecked(kMenuAutoMode));
  EXPECT_GT(rig.window->InnerHeightWithMenu(), 180);
  rig.window->showMinimized();
  EXPECT_LT(rig.window->InnerHeightWithMenu(), 120);
  ASSERT_TRUE(rig.SpinUntil([&] { return !rig.port.IsOpen(); }));
  EXPECT_FALSE(rig.window->IsChecked(kMenuComEnabled));
  EXPECT_TRUE(rig.log.empty());
  rig.window->showNormal();
  ASSERT_TRUE(rig.SpinUntil([&] { return rig.port.IsOpen(); }));
  EXPECT_TRUE(rig.window->IsChecked(kMenuComEnabled));
  rig.pty.Send("back");
  EXPECT_TRUE(
      rig.SpinUntil([&] { return rig.program->screen.ScreenText == "back"; }));

  // Without the auto mode minimising does nothing.
  rig.Menu(kMenuAutoMode);
  rig.window->showMinimized();
  rig.Spin(150);  // several timer ticks
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.window->IsChecked(kMenuComEnabled));
}

TEST_F(WindowPort, AMissingPortIsReportedAndTheWindowCarriesOn) {
  WindowRig rig({"ComNr=9"});
  rig.Start();
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(rig.log,
            std::vector<std::string>{"host box Error / COM port not found"});
  EXPECT_FALSE(rig.window->IsChecked(kMenuComEnabled));
  // The Com-Port command picks the pty's number and connects.
  rig.host.inputAnswers.push_back(" 6");
  rig.Menu(kMenuComPort);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.window->IsChecked(kMenuComEnabled));
}

}  // namespace
}  // namespace kestrix::test
