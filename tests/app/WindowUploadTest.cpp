// Upload File from the real window's menu into the simulated chip on a
// pseudo-terminal: the chip gets the file, the status lines show on the
// screen, the program remembers the folder and the kind, and the window
// keeps painting while the upload waits.
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
#include "support/PtyPropeller.h"

namespace kestrix::test {
namespace {

class WindowUpload : public WindowTest {
 protected:
  // The window on COM7 with a chip there that answers in real time; the
  // banner pause alone costs no real time.
  bool StartWithChip(WindowRig& rig, PtyPropeller& chip) {
    rig.clock.onSleep = [this](int ms) {
      if (onWait_) onWait_(ms);
      if (ms != kBannerPauseMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      }
    };
    if (!chip.Start(rig.pty.folder().string(), 7)) return false;
    rig.Start();
    return true;
  }
  std::string Upload(WindowRig& rig, const char* name, int size, int kind) {
    std::string image(static_cast<std::size_t>(size), '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
      image[i] = static_cast<char>(i * 13 + 5);
    const std::filesystem::path file = rig.pty.folder() / name;
    std::ofstream(file, std::ios::binary) << image;
    rig.host.openAnswers.push_back({file.string(), kind});
    rig.Menu(kMenuUploadFile);
    return image;
  }

  static constexpr int kBannerPauseMs = 2000;
  std::function<void(int)> onWait_;
};

TEST_F(WindowUpload, MenuUploadLoadsRamAndShowsTheLinesOnScreen) {
  WindowRig rig({"ComNr=7", "FT232R=0", "BaudRate=0"});
  PtyPropeller chip;
  ASSERT_TRUE(StartWithChip(rig, chip));
  const std::string image = Upload(rig, "blink.binary", 100, 0);
  ASSERT_TRUE(chip.WaitBetweenSessions(3000));
  EXPECT_EQ(chip.ChipPhase(), SimulatedPropeller::Phase::kRunning);
  const auto record = chip.LastRecord();
  EXPECT_EQ(record.command, 1);
  EXPECT_EQ(record.ImageBytes(),
            std::vector<std::uint8_t>(image.begin(), image.end()));
  // Normal-terminal mode: each line is text, CR and an LF of its own.
  EXPECT_EQ(rig.program->screen().ScreenText,
            "Start Upload\r\nPropeller Version = 1\r\nWrite in RAM "
            "Lenght=100\r\nVerify ..\r\n..OK -> RUN\r\n");
  EXPECT_EQ(rig.program->settings().BinPath, rig.pty.folder().string() + "/");
  EXPECT_EQ(rig.program->UploadPatternIndex(), 0);
  EXPECT_TRUE(rig.port.IsOpen());
}

TEST_F(WindowUpload, TheWindowPaintsDuringTheWaitsOfAnEepromUpload) {
  WindowRig rig({"ComNr=7", "FT232R=0", "BaudRate=0"});
  PtyPropeller chip;
  ASSERT_TRUE(StartWithChip(rig, chip));
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
  const Raster& logo = rig.images.logo;
  onWait_ = [&](int ms) {
    const std::string& text = rig.program->screen().ScreenText;
    if (ms == kBannerPauseMs && !banner.seen) {
      banner.seen = true;
      const QImage shown = rig.window->Gadget()->image();
      banner.painted =
          paintedIsCurrent() && logo.width() > 0 &&
          shown.pixel(logo.width() / 2, logo.height() / 2) ==
              RasterToQImage(logo).pixel(logo.width() / 2, logo.height() / 2);
    } else if (text.find("Verify ..") != std::string::npos &&
               !programming.seen) {
      programming.seen = true;
      programming.painted = paintedIsCurrent();
    }
  };
  // The desktop's pump, as the Qt host does it.
  rig.host.whileOpen = [] { QCoreApplication::processEvents(); };
  Upload(rig, "prog.eeprom", 64, 1);
  onWait_ = nullptr;
  ASSERT_TRUE(chip.WaitBetweenSessions(3000));
  EXPECT_EQ(chip.LastRecord().statusBitsSent, (std::vector<int>{0, 0, 0}));
  for (const Check& check : {banner, programming}) {
    EXPECT_TRUE(check.seen) << check.name;
    EXPECT_TRUE(check.painted) << check.name;
  }
}

}  // namespace
}  // namespace kestrix::test
