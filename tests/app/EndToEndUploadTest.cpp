// An EEPROM upload from the window, the port search and the console program
// over real pseudo-terminals, against a simulated chip behind a COM<n> link.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QProcess>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/MenuIds.h"
#include "app/WindowRig.h"
#include "loader/PortSearch.h"
#include "serial/ComPort.h"
#include "settings/Settings.h"
#include "support/PtyPropeller.h"
#include "terminal/SharedBlocks.h"
#include "terminal/SystemClock.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;
using Phase = test::SimulatedPropeller::Phase;

// How long the chip may take to finish an exchange after the host is done.
constexpr int kSettleMs = 3000;

Bytes Pattern(int count, std::uint32_t seed) {
  Bytes bytes;
  std::uint32_t x = seed;
  for (int i = 0; i < count; ++i) {
    x = x * 1103515245u + 12345u;
    bytes.push_back(static_cast<std::uint8_t>(x >> 16));
  }
  return bytes;
}

// Console lines as a reader sees them: CRs dropped, blank lines skipped.
Lines VisibleLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    std::erase(line, '\r');
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

class EndToEndTest : public test::WindowTest {
 protected:
  void SetUp() override {
    std::string pattern =
        (fs::temp_directory_path() / "kestrix-e2e-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  static std::string WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  fs::path folder_;
};

// RAM uploads run end to end from the window's menu and the console program.
TEST_F(EndToEndTest, EepromUploadFromTheMenuProgramsTheWholeFile) {
  test::WindowRig rig({"ComNr=7"});
  rig.clock.onSleep = [](int ms) {  // the chip answers in real time
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  };
  test::PtyPropeller chip;
  ASSERT_TRUE(chip.Start(rig.pty.folder().string(), 7));
  const Bytes file = Pattern(32768, 3);
  rig.Start();
  rig.host.openAnswers.push_back(
      {WriteFile(rig.pty.folder() / "prog.eeprom", file), 1});
  rig.Menu(kMenuUploadFile);
  ASSERT_TRUE(chip.WaitBetweenSessions(kSettleMs));
  EXPECT_EQ(chip.ChipPhase(), Phase::kRunning);
  const auto record = chip.LastRecord();
  EXPECT_EQ(record.command, 3);
  EXPECT_EQ(record.ImageBytes(), file);
  EXPECT_TRUE(record.longsWellFormed);
  EXPECT_EQ(record.statusBitsSent, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(rig.program->screen.ScreenText,
            "Start Upload\r\nPropeller Version = 1\r\n"
            "Write in EEPROM Lenght=32768\r\nVerify ..\r\n..OK -> RUN\r\n");
}

TEST_F(EndToEndTest, PortSearchFindsTheChipOrKeepsZero) {
  // Links to nowhere hide the machine's own serial ports.
  for (int n = 1; n <= 63; ++n) {
    if (n != 5) {
      fs::create_symlink("/nonexistent", folder_ / ("COM" + std::to_string(n)));
    }
  }
  ComPort port(folder_);
  SystemClock clock;
  SharedBlocks blocks;
  Settings settings;
  settings.ComNr = 0;
  ScanPorts(port, clock, blocks, settings);
  EXPECT_EQ(settings.ComNr, 0);
  EXPECT_FALSE(port.IsOpen());

  test::PtyPropeller chip;
  ASSERT_TRUE(chip.Start(folder_.string(), 5));
  ScanPorts(port, clock, blocks, settings);
  EXPECT_EQ(settings.ComNr, 5);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(chip.Sessions(), 1);
  EXPECT_TRUE(chip.LastRecord().hostBitsOk);
  EXPECT_EQ(chip.LastRecord().handshakeClocks, 258);
}

#ifdef KESTRIX_EXECUTABLE
TEST_F(EndToEndTest, ConsoleProgramUploadsTheFileNamedOnItsCommandLine) {
  test::PtyPropeller chip;
  ASSERT_TRUE(chip.Start(folder_.string(), 6));
  const Bytes file = Pattern(1000, 3);
  WriteFile(folder_ / "demo.binary", file);

  QProcess child;
  child.setWorkingDirectory(QString::fromStdString(folder_.string()));
  child.setProcessChannelMode(QProcess::SeparateChannels);
  child.start(KESTRIX_EXECUTABLE, {"demo.binary", "-L", "6"});
  ASSERT_TRUE(child.waitForStarted(10000));
  ASSERT_TRUE(child.waitForFinished(60000));
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), 0);

  const std::string out = child.readAllStandardOutput().toStdString();
  EXPECT_EQ(VisibleLines(out),
            (Lines{"Propeller Upload on COM: 6", "File: demo.binary",
                   "Start Upload", "Propeller Version = 1",
                   "Write in RAM Lenght=1000", "Verify ..", "..OK -> RUN"}))
      << out;
  // Normal-terminal mode: each status line is text, CR, LF and two more LF.
  EXPECT_NE(out.find("\nStart Upload\r\n\n\nPropeller Version = 1\r\n"),
            std::string::npos);
  ASSERT_TRUE(chip.WaitBetweenSessions(kSettleMs));
  EXPECT_EQ(chip.LastRecord().ImageBytes(), file);
}
#endif

}  // namespace
}  // namespace kestrix
