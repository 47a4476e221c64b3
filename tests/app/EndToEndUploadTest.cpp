// Uploads and the port search over real pseudo-terminals, against a
// simulated chip behind a COM<n> link in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QProcess>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ConsoleUpload.h"
#include "app/WindowRig.h"
#include "loader/LoaderImage.h"
#include "loader/PortSearch.h"
#include "loader/UploadDriver.h"
#include "serial/ComPort.h"
#include "settings/Settings.h"
#include "support/PtyPropeller.h"
#include "terminal/Decoder.h"
#include "terminal/SharedBlocks.h"
#include "terminal/SystemClock.h"
#include "terminal/TerminalScreen.h"

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

class LineConsole : public Console {
 public:
  std::string text;
  void WriteLine(const std::string& line) override { text += line + "\n"; }
};

class EndToEndTest : public test::WindowTest {
 protected:
  void SetUp() override {
    std::string pattern =
        (fs::temp_directory_path() / "kestrix-e2e-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    std::string error;
    auto images = LoadEmbeddedImages(&error);
    ASSERT_TRUE(images.has_value()) << error;
    images_ = std::move(*images);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  std::string WriteFile(const std::string& name, const Bytes& bytes) {
    std::ofstream out(folder_ / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return (folder_ / name).string();
  }
  // The console lines of an upload over COM6 with the real port and clock.
  Lines UploadOverCom6(const std::string& path) {
    ComPort port(folder_);
    EXPECT_TRUE(port.OpenPort("6", 0, 0));
    SystemClock clock;
    Settings settings;
    TerminalScreen screen;
    SharedBlocks blocks;
    Decoder decoder(screen, images_.glyphSheet, settings, blocks, port, clock);
    LineConsole console;
    decoder.SetConsole(&console);
    Lines log;
    test::ScriptedHost host(log);
    auto image = std::make_unique<LoaderImage>();  // large: not on the stack
    UploadEnvironment env{port,     clock,  host,        decoder,
                          settings, *image, images_.logo};
    UploadFile(path, env);
    port.ClosePort();
    EXPECT_TRUE(log.empty());
    return VisibleLines(console.text);
  }

  fs::path folder_;
  EmbeddedImages images_;
};

TEST_F(EndToEndTest, UploadsOverARealPortBootOrProgramTheWholeFile) {
  struct Case {
    const char* name;
    int size;
    int command;
    const char* target;
  };
  const Case cases[] = {{"prog.binary", 8192, 1, "RAM"},
                        {"prog.eeprom", 32768, 3, "EEPROM"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::PtyPropeller chip;
    ASSERT_TRUE(chip.Start(folder_.string(), 6));
    const Bytes file = Pattern(c.size, static_cast<std::uint32_t>(c.command));
    const Lines lines = UploadOverCom6(WriteFile(c.name, file));
    // An EEPROM image first shows three lines of its own.
    const std::size_t skip = c.command == 3 ? 3 : 0;
    ASSERT_GE(lines.size(), skip);
    EXPECT_EQ(Lines(lines.begin() + static_cast<long>(skip), lines.end()),
              (Lines{"Start Upload", "Propeller Version = 1",
                     std::string("Write in ") + c.target +
                         " Lenght=" + std::to_string(c.size),
                     "Verify ..", "..OK -> RUN"}));
    ASSERT_TRUE(chip.WaitBetweenSessions(kSettleMs));
    EXPECT_EQ(chip.ChipPhase(), Phase::kRunning);
    const auto record = chip.LastRecord();
    EXPECT_EQ(record.command, c.command);
    EXPECT_EQ(record.ImageBytes(), file);
    EXPECT_TRUE(record.longsWellFormed);
    if (c.command == 3) {
      EXPECT_EQ(record.statusBitsSent, (std::vector<int>{0, 0, 0}));
    }
  }
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
  WriteFile("demo.binary", file);

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
