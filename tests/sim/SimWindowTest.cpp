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
  const auto& folder = rig.folder;
  SimProcess sim({"--folder", folder.string(), "--port", "7"});
  ASSERT_FALSE(NewLinkTarget(folder / "COM7", {}).empty());
  rig.Start();
  const std::string& text = rig.program->screen().ScreenText;
  auto shows = [&](const std::string& part) {
    return rig.SpinUntil([&] { return text.find(part) < text.size(); }, 5000);
  };
  EXPECT_TRUE(shows("K E S T R I X")) << text;

  rig.Tap(Qt::Key_1, {}, "1");
  EXPECT_TRUE(shows("Colours and inverse video")) << text;

  std::string image;
  for (int i = 0; i < 64; ++i) image += static_cast<char>(i);
  const auto file = folder / "tiny.binary";
  std::ofstream(file, std::ios::binary) << image;
  rig.host.openAnswers.push_back({file.string(), 0});
  rig.Menu(kMenuUploadFile);
  EXPECT_TRUE(shows("upload into RAM: 64 bytes, byte sum 0x000007E0")) << text;
  EXPECT_TRUE(shows("K E S T R I X")) << "the demo starts again";
  sim.Signal(SIGTERM);
  EXPECT_EQ(sim.Exit(), 0);
}

}  // namespace
}  // namespace kestrix::test
