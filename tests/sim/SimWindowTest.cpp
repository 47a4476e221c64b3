// The simulator beside the real window: the title shows, a key opens a page,
// an upload from the menu is reported on the screen.
#include <chrono>
#include <fstream>
#include <thread>

#include "app/MenuIds.h"
#include "app/WindowRig.h"
#include "sim/SimProcess.h"

namespace kestrix::test {
namespace {

class SimWindow : public WindowTest {};

TEST_F(SimWindow, TitleThenAPageByKeyThenAnUploadReported) {
  WindowRig rig({"ComNr=7", "MsMoveOff=0"});
  rig.clock.onSleep = [](int ms) {  // the simulator answers in real time
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  };
  const auto folder = rig.pty.folder();
  SimProcess sim({"--folder", folder.string(), "--port", "7"});
  ASSERT_TRUE(LinkAppears(folder / "COM7"));
  rig.Start();
  auto shows = [&](const std::string& text) {
    return rig.SpinUntil(
        [&] {
          return rig.program->screen.ScreenText.find(text) != std::string::npos;
        },
        5000);
  };
  EXPECT_TRUE(shows("K E S T R I X")) << rig.program->screen.ScreenText;

  rig.Tap(Qt::Key_1, {}, "1");
  EXPECT_TRUE(shows("Colours and inverse video"))
      << rig.program->screen.ScreenText;

  std::string image(64, '\0');
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<char>(i);
  const auto file = folder / "tiny.binary";
  std::ofstream(file, std::ios::binary) << image;
  rig.host.openAnswers.push_back({file.string(), 0});
  rig.Menu(kMenuUploadFile);
  // 0 + 1 + ... + 63 = 2016 = 0x7E0.
  EXPECT_TRUE(
      shows("Propeller 1 upload into RAM: 64 bytes, byte sum 0x000007E0"))
      << rig.program->screen.ScreenText;
  EXPECT_TRUE(shows("K E S T R I X")) << "the demo starts again";
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Exit(2000), 0);
}

}  // namespace
}  // namespace kestrix::test
