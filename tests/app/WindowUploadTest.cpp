// Upload File from the real window's menu into the simulated chip on a
// pseudo-terminal: the chip gets the file, the status lines show on the
// screen, and the program remembers the folder and the kind.
#include <chrono>
#include <fstream>
#include <thread>

#include "app/MenuIds.h"
#include "app/WindowRig.h"
#include "support/PtyPropeller.h"

namespace kestrix::test {
namespace {

class WindowUpload : public WindowTest {};

TEST_F(WindowUpload, MenuUploadLoadsRamOrEepromAndShowsTheLinesOnScreen) {
  struct Case {
    const char* name;
    int size, pattern, command;
    const char* target;
  };
  for (const Case& c : {Case{"blink.binary", 100, 0, 1, "RAM"},
                        Case{"prog.eeprom", 32768, 1, 3, "EEPROM"}}) {
    SCOPED_TRACE(c.name);
    WindowRig rig({"ComNr=7", "FT232R=0", "BaudRate=0"});
    rig.clock.onSleep = [](int ms) {  // the chip answers in real time
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    PtyPropeller chip;
    ASSERT_TRUE(chip.Start(rig.pty.folder().string(), 7));
    std::string image(static_cast<std::size_t>(c.size), '\0');
    for (std::size_t i = 0; i < image.size(); ++i)
      image[i] = static_cast<char>(i * 13 + 5);
    const std::filesystem::path file = rig.pty.folder() / c.name;
    std::ofstream(file, std::ios::binary) << image;

    rig.Start();
    rig.host.openAnswers.push_back({file.string(), c.pattern});
    rig.Menu(kMenuUploadFile);
    ASSERT_TRUE(chip.WaitBetweenSessions(3000));
    EXPECT_EQ(chip.ChipPhase(), SimulatedPropeller::Phase::kRunning);
    const auto record = chip.LastRecord();
    EXPECT_EQ(record.command, c.command);
    EXPECT_EQ(record.ImageBytes(),
              std::vector<std::uint8_t>(image.begin(), image.end()));
    EXPECT_TRUE(record.longsWellFormed);
    if (c.command == 3) {
      EXPECT_EQ(record.statusBitsSent, (std::vector<int>{0, 0, 0}));
    }
    // Normal-terminal mode: each line is text, CR and an LF of its own.
    EXPECT_EQ(rig.program->screen().ScreenText,
              "Start Upload\r\nPropeller Version = 1\r\nWrite in " +
                  std::string(c.target) + " Lenght=" + std::to_string(c.size) +
                  "\r\nVerify ..\r\n..OK -> RUN\r\n");
    EXPECT_EQ(rig.program->settings().BinPath, rig.pty.folder().string() + "/");
    EXPECT_EQ(rig.program->UploadPatternIndex(), 0);
    EXPECT_TRUE(rig.port.IsOpen());
  }
}

}  // namespace
}  // namespace kestrix::test
