// The console program over a real pseudo-terminal, against a simulated chip
// behind a COM<n> link.
#include <gtest/gtest.h>

#include <QProcess>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
  EXPECT_EQ(child.exitCode(), 0);

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
