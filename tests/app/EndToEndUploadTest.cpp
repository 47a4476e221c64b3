// Uploads and the port search over real pseudo-terminals: the port driver,
// the upload driver and the console program against a simulated chip that
// sits behind a COM<n> link in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "loader/LoaderImage.h"
#include "loader/PortSearch.h"
#include "loader/UploadDriver.h"
#include "serial/ComPort.h"
#include "settings/Settings.h"
#include "support/PtyPropeller.h"
#include "terminal/Decoder.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/Host.h"
#include "terminal/Presenter.h"
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

class LineConsole : public Console {
 public:
  Lines lines;
  void WriteLine(const std::string& text) override { lines.push_back(text); }
};

class NoBoxHost : public Host {
 public:
  int boxes = 0;
  void MessageBox(const std::string&, const std::string&) override { ++boxes; }
  FileChoice OpenFile(const std::string&, const std::string&,
                      const std::string&, int) override {
    return {};
  }
  FileChoice SaveFile(const std::string&, const std::string&,
                      const std::string&, int) override {
    return {};
  }
  std::string InputText(const std::string&, const std::string&,
                        const std::string&) override {
    return {};
  }
  void SetClipboardImage(const Raster&) override {}
  void SetClipboardText(const std::string&) override {}
  void ShowProgress(bool) override {}
  void SetProgress(int) override {}
  void PumpEvents() override {}
  void OpenDocument(const std::string&) override {}
  bool RaiseWindow(const std::string&) override { return false; }
};

// Console lines as a reader sees them: CRs dropped, blank lines skipped.
Lines VisibleLines(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    std::string visible;
    for (char c : line) {
      if (c != '\r') visible.push_back(c);
    }
    if (!visible.empty()) lines.push_back(visible);
  }
  return lines;
}

class EndToEndTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() != nullptr) return;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    app_ = std::make_unique<QCoreApplication>(argc, argv);
  }
  static void TearDownTestSuite() { app_.reset(); }

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
  // A COM<n> link to nowhere: that number has no device, whatever the
  // machine's own serial ports are.
  void NoDeviceFor(int number) {
    fs::create_symlink("/nonexistent/kestrix-no-port",
                       folder_ / ("COM" + std::to_string(number)));
  }

  // Uploads the file over COM6 with the program's own port and clock and
  // returns the console lines.
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
    NoBoxHost host;
    auto image = std::make_unique<LoaderImage>();
    UploadEnvironment env{port,     clock,  host,        decoder,
                          settings, *image, images_.logo};
    UploadFile(path, env);
    port.ClosePort();
    EXPECT_EQ(host.boxes, 0);
    return VisibleLines([&] {
      std::string all;
      for (const auto& l : console.lines) all += l + "\n";
      return all;
    }());
  }

  static inline std::unique_ptr<QCoreApplication> app_;
  fs::path folder_;
  EmbeddedImages images_;
};

TEST_F(EndToEndTest, RamUploadOverARealPortBootsTheFile) {
  test::PtyPropeller chip;
  ASSERT_TRUE(chip.Start(folder_.string(), 6));
  const Bytes file = Pattern(8192, 1);
  const Lines lines = UploadOverCom6(WriteFile("prog.binary", file));

  EXPECT_EQ(lines,
            (Lines{"Start Upload", "Propeller Version = 1",
                   "Write in RAM Lenght=8192", "Verify ..", "..OK -> RUN"}));
  ASSERT_TRUE(chip.WaitBetweenSessions(kSettleMs));
  EXPECT_EQ(chip.ChipPhase(), Phase::kRunning);
  const auto record = chip.LastRecord();
  EXPECT_EQ(record.command, 1);
  EXPECT_EQ(record.ImageBytes(), file);
  EXPECT_TRUE(record.longsWellFormed);
}

TEST_F(EndToEndTest, EepromUploadOverARealPortProgramsTheWholeImage) {
  test::PtyPropeller chip;
  ASSERT_TRUE(chip.Start(folder_.string(), 6));
  const Bytes file = Pattern(32768, 2);
  const Lines lines = UploadOverCom6(WriteFile("prog.eeprom", file));

  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(
      Lines(lines.begin() + 3, lines.end()),
      (Lines{"Start Upload", "Propeller Version = 1",
             "Write in EEPROM Lenght=32768", "Verify ..", "..OK -> RUN"}));
  ASSERT_TRUE(chip.WaitBetweenSessions(kSettleMs));
  const auto record = chip.LastRecord();
  EXPECT_EQ(record.command, 3);
  EXPECT_EQ(record.ImageBytes(), file);
  EXPECT_EQ(record.statusBitsSent, (std::vector<int>{0, 0, 0}));
}

TEST_F(EndToEndTest, PortSearchFindsTheChipOnCom5) {
  for (int n = 1; n <= 4; ++n) NoDeviceFor(n);
  test::PtyPropeller chip;
  ASSERT_TRUE(chip.Start(folder_.string(), 5));

  ComPort port(folder_);
  SystemClock clock;
  SharedBlocks blocks;
  Settings settings;
  settings.ComNr = 0;
  ScanPorts(port, clock, blocks, settings);

  EXPECT_EQ(settings.ComNr, 5);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(chip.Sessions(), 1);
  EXPECT_TRUE(chip.LastRecord().hostBitsOk);
  EXPECT_EQ(chip.LastRecord().handshakeClocks, 258);
}

TEST_F(EndToEndTest, PortSearchWithoutAnyDeviceKeepsZero) {
  for (int n = 1; n <= 63; ++n) NoDeviceFor(n);
  ComPort port(folder_);
  SystemClock clock;
  SharedBlocks blocks;
  Settings settings;
  settings.ComNr = 0;
  ScanPorts(port, clock, blocks, settings);
  EXPECT_EQ(settings.ComNr, 0);
  EXPECT_FALSE(port.IsOpen());
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
  ASSERT_TRUE(chip.WaitBetweenSessions(kSettleMs));
  EXPECT_EQ(chip.LastRecord().ImageBytes(), file);
}
#endif

}  // namespace
}  // namespace kestrix
