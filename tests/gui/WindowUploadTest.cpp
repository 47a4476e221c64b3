// Upload File from the real window's menu into the simulated chip on a
// pseudo-terminal: the chip gets the file, the status lines show on the
// screen, and the window keeps painting while the upload waits.
#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/MenuIds.h"
#include "app/WindowRig.h"
#include "gui/RasterImage.h"
#include "gui/ScreenGadget.h"
#include "sim/PtyPropeller.h"

namespace kestrix::test {
namespace {

constexpr int kBannerPauseMs = 2000;

class WindowUpload : public WindowTest {};

TEST_F(WindowUpload, EepromFromTheMenuReachesTheChipWhileTheWindowPaints) {
  WindowRig rig({"ComNr=7", "FT232R=0", "BaudRate=0"});
  sim::PtyPropeller chip;
  // The chip answers in real time; the banner pause alone costs none.
  std::function<void(int)> onWait;
  rig.clock.onSleep = [&](int ms) {
    if (onWait) onWait(ms);
    if (ms != kBannerPauseMs) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
  };
  ASSERT_TRUE(chip.Start(rig.folder.string(), 7));
  rig.Start();
  // Whether the last paint showed the screen as it is at that moment.
  auto paintedIsCurrent = [&rig] {
    return rig.window->Gadget()->image() ==
           RasterToQImage(rig.program->screen().image);
  };
  struct Check {
    const char* name;
    bool seen = false;
    bool painted = false;
  };
  Check banner{"logo during the banner pause"};
  Check programming{"status line while the EEPROM is programmed"};
  onWait = [&](int ms) {
    const std::string& text = rig.program->screen().ScreenText;
    if (ms == kBannerPauseMs && !banner.seen) {
      banner.seen = true;
      banner.painted = paintedIsCurrent();
    } else if (text.find("Verify ..") != std::string::npos &&
               !programming.seen) {
      programming.seen = true;
      programming.painted = paintedIsCurrent();
    }
  };
  // The desktop's pump, as the Qt host does it.
  rig.host.whileOpen = [] { QCoreApplication::processEvents(); };
  std::vector<std::uint8_t> image(64);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = i * 13 + 5;
  std::ofstream(rig.folder / "prog.eeprom", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), 64);
  rig.host.openAnswers.push_back({(rig.folder / "prog.eeprom").string(), 1});
  rig.Menu(kMenuUploadFile);
  onWait = nullptr;

  EXPECT_TRUE(chip.WaitBetweenSessions(3000));
  EXPECT_EQ(chip.ChipPhase(), sim::SimulatedPropeller::Phase::kRunning);
  const auto record = chip.LastRecord();
  EXPECT_EQ(record.command, 3);
  image.resize(32768, 0);
  EXPECT_EQ(record.ImageBytes(), image);
  EXPECT_EQ(record.statusBitsSent, (std::vector<int>{0, 0, 0}));
  // Normal-terminal mode: each line is text, CR and an LF of its own.
  EXPECT_EQ(rig.program->screen().ScreenText,
            "Start Upload\r\nPropeller Version = 1\r\nWrite in EEPROM "
            "Lenght=32768\r\nVerify ..\r\n..OK -> RUN\r\n");
  EXPECT_TRUE(rig.port.IsOpen());
  for (const Check& check : {banner, programming}) {
    EXPECT_TRUE(check.seen) << check.name;
    EXPECT_TRUE(check.painted) << check.name;
  }
}

}  // namespace
}  // namespace kestrix::test
