// The console program over a real pseudo-terminal, against a simulated chip
// behind a COM<n> link.
#include <gtest/gtest.h>

#include <QProcess>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ConsoleUpload.h"
#include "app/WindowRig.h"
#include "support/PtyPropeller.h"
#include "support/TempFolder.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

// How long the chip may take to finish an exchange after the host is done.
constexpr int kSettleMs = 3000;

class EndToEndTest : public test::WindowTest {
 protected:
  test::TempFolder temp_;
  const fs::path& folder_ = temp_.path();
};

#ifdef KESTRIX_EXECUTABLE
// The program as a child in a folder with the chip behind COM6, no display
// to fall back on, and its exit status. Every line it prints must be seen.
TEST_F(EndToEndTest, ExitStatusTellsWhatHappened) {
  using Options = test::SimulatedPropeller::Options;
  struct Row {
    const char* name;
    void (*set)(Options&);
    QStringList args;
    int status;
    const char* text;  // in what it printed, on either channel
  };
  auto good = [](Options&) {};
  const Row rows[] = {
      {"missing file",
       good,
       {"absent.binary", "-L", "6"},
       kExitFileRefused,
       "Start Upload\r\n\n\nNo such file\r\n\n\n"},
      {"port that does not open",
       good,
       {"demo.binary", "-L", "7"},
       kExitNoPort,
       "COM: 7\nFile: demo.binary\nNo COM: wrong number or not "
       "activated\n"},
      {"no chip answers",
       [](Options& o) { o.silent = true; },
       {"demo.binary", "-L", "6"},
       kExitNoChip,
       "Code Error -> Abort\n"},
      {"checksum error",
       [](Options& o) { o.checksumError = true; },
       {"demo.binary", "-L", "6"},
       kExitChipError,
       "Verify ..\r\n\n\nCheckSum Error\r\n\n\n"},
      {"help", good, {"my.ini", "-h"}, 0, "Usage: kestrix"},
      {"version", good, {"--version"}, 0, "Kestrix " KESTRIX_VERSION "\n"},
      {"unknown option",
       good,
       {"my.ini", "--bogus"},
       kExitUnknownOption,
       "kestrix: unknown option --bogus\n\nUsage: kestrix"},
  };
  for (const Row& row : rows) {
    test::TempFolder folder;
    fs::create_symlink("/nowhere", folder / "COM7");
    folder.Write("demo.binary", std::string(100, 'x'));
    Options options;
    row.set(options);
    test::PtyPropeller chip(options);
    ASSERT_TRUE(chip.Start(folder.path().string(), 6)) << row.name;

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
      env.remove(name);
    }
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(QString::fromStdString(folder.path().string()));
    child.start(KESTRIX_EXECUTABLE, row.args);
    EXPECT_TRUE(child.waitForFinished(60000)) << row.name;
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << row.name;
    EXPECT_EQ(child.exitCode(), row.status) << row.name;
    const std::string out = child.readAll().toStdString();
    EXPECT_NE(out.find(row.text), std::string::npos) << row.name << ": " << out;
  }
}

TEST_F(EndToEndTest, ConsoleProgramUploadsTheFileNamedOnItsCommandLine) {
  test::PtyPropeller chip;
  ASSERT_TRUE(chip.Start(folder_.string(), 6));
  std::string file;
  for (int i = 0; i < 1000; ++i) file += static_cast<char>(i * 7 + 3);
  std::ofstream(folder_ / "demo.binary", std::ios::binary) << file;

  QProcess child;
  child.setWorkingDirectory(QString::fromStdString(folder_.string()));
  child.setProcessChannelMode(QProcess::SeparateChannels);
  child.start(KESTRIX_EXECUTABLE, {"demo.binary", "-L", "6"});
  ASSERT_TRUE(child.waitForStarted(10000));
  ASSERT_TRUE(child.waitForFinished(60000));
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), kExitUploaded);

  const std::string out = child.readAllStandardOutput().toStdString();
  // Normal-terminal mode: each status line is text, CR, LF and two more LF.
  EXPECT_EQ(out,
            "Propeller Upload on COM: 6\nFile: demo.binary\n"
            "Start Upload\r\n\n\nPropeller Version = 1\r\n\n\n"
            "Write in RAM Lenght=1000\r\n\n\nVerify ..\r\n\n\n"
            "..OK -> RUN\r\n\n\n");
  ASSERT_TRUE(chip.WaitBetweenSessions(kSettleMs));
  EXPECT_EQ(chip.LastRecord().ImageBytes(), Bytes(file.begin(), file.end()));
}
#endif

}  // namespace
}  // namespace kestrix
