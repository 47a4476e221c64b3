// Upload File from the menu of the real window into the simulated chip on a
// pseudo-terminal: the chip gets the file, the status lines show on the
// screen, and the program remembers the kind and the folder.
#include <chrono>
#include <fstream>
#include <thread>

#include "app/MenuIds.h"
#include "app/WindowRig.h"
#include "support/PtyPropeller.h"

namespace kestrix::test {
namespace {

class WindowUpload : public WindowTest {};

TEST_F(WindowUpload, MenuUploadLoadsTheChipAndShowsTheLinesOnScreen) {
  // The device answers in real time, so the protocol's waits must be real.
  WindowRig rig({"ComNr=7", "FT232R=0", "BaudRate=0"});
  rig.clock.onSleep = [](int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  };
  PtyPropeller chip;
  ASSERT_TRUE(chip.Start(rig.pty.folder().string(), 7));

  std::vector<std::uint8_t> image(100);
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<std::uint8_t>(i * 13 + 5);
  }
  const std::filesystem::path file = rig.pty.folder() / "blink.binary";
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()),
             static_cast<std::streamsize>(image.size()));

  rig.Start();
  ASSERT_TRUE(rig.port.IsOpen());
  rig.host.openAnswers.push_back({file.string(), 0});
  rig.Menu(kMenuUploadFile);

  ASSERT_TRUE(chip.WaitBetweenSessions(3000));
  EXPECT_EQ(chip.LastRecord().ImageBytes(), image);
  // Normal-terminal mode: each line is text, CR and an LF of its own.
  EXPECT_EQ(rig.program->screen.ScreenText,
            "Start Upload\r\nPropeller Version = 1\r\n"
            "Write in RAM Lenght=100\r\nVerify ..\r\n..OK -> RUN\r\n");
  EXPECT_EQ(rig.program->settings.BinPath, rig.pty.folder().string() + "/");
  EXPECT_EQ(rig.program->UploadPatternIndex, 0);
  EXPECT_TRUE(rig.port.IsOpen());
}

}  // namespace
}  // namespace kestrix::test
