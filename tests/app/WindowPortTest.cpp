// Releasing and re-taking the port from the window: the Com Enabled item,
// the auto mode on minimising, a vanished device.
#include <unistd.h>

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
  EXPECT_EQ(rig.host.raiseRequests,
            std::vector<std::string>({"Propeller Tool"}));
  // Bytes sent meanwhile wait in the line; they show once it is taken again.
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
  EXPECT_TRUE(rig.host.raiseRequests.empty());

  rig.window->showNormal();
  ASSERT_TRUE(rig.SpinUntil([&] { return rig.port.IsOpen(); }));
  EXPECT_TRUE(rig.window->IsChecked(kMenuComEnabled));
  rig.pty.Send("back");
  EXPECT_TRUE(
      rig.SpinUntil([&] { return rig.program->screen.ScreenText == "back"; }));
}

TEST_F(WindowPort, MinimisingDoesNothingWithoutAutoMode) {
  WindowRig rig({"AutoDis=0"});
  rig.Start();
  ASSERT_TRUE(rig.port.IsOpen());
  rig.window->showMinimized();
  rig.Spin(150);  // several timer ticks
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.window->IsChecked(kMenuComEnabled));
}

TEST_F(WindowPort, AMissingPortIsReportedAndTheWindowCarriesOn) {
  WindowRig rig({"ComNr=9"});
  rig.Start();
  EXPECT_FALSE(rig.port.IsOpen());
  ASSERT_EQ(rig.host.boxes.size(), 1u);
  EXPECT_EQ(
      rig.host.boxes[0],
      std::make_pair(std::string("Error"), std::string("COM port not found")));
  EXPECT_FALSE(rig.window->IsChecked(kMenuComEnabled));
  // The Com-Port command picks the pty's number and connects.
  rig.host.inputAnswers.push_back(" 6");
  rig.Menu(kMenuComPort);
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_TRUE(rig.window->IsChecked(kMenuComEnabled));
}

}  // namespace
}  // namespace kestrix::test
