// The auto mode on the real window: minimising releases the port.
#include "app/MenuIds.h"
#include "app/WindowRig.h"

namespace kestrix::test {
namespace {

class WindowPort : public WindowTest {};

TEST_F(WindowPort, AutoModeReleasesWhileMinimisedAndReconnectsWhenRestored) {
  WindowRig rig({"AutoDis=1"});
  rig.Start();
  ASSERT_TRUE(rig.port.IsOpen());
  EXPECT_GT(rig.window->InnerHeightWithMenu(), 180);
  rig.window->showMinimized();
  EXPECT_LT(rig.window->InnerHeightWithMenu(), 120);
  ASSERT_TRUE(rig.SpinUntil([&] { return !rig.port.IsOpen(); }));
  EXPECT_FALSE(rig.window->IsChecked(kMenuComEnabled));
  rig.window->showNormal();
  ASSERT_TRUE(rig.SpinUntil([&] { return rig.port.IsOpen(); }));
  rig.pty.Send("back");
  EXPECT_TRUE(
      rig.SpinUntil([&] { return rig.program->screen.ScreenText == "back"; }));
  // Without the auto mode minimising does nothing.
  rig.Menu(kMenuAutoMode);
  rig.window->showMinimized();
  rig.Spin(150);
  EXPECT_TRUE(rig.port.IsOpen());
}

}  // namespace
}  // namespace kestrix::test
