#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <string>

#include "app/ConsoleUpload.h"
#include "sim/PtyPropeller.h"
#include "support/FakePort.h"
#include "support/TempFolder.h"

namespace kestrix::test {
namespace {

TEST(EndToEndTest, ExitStatusTellsWhatHappened) {
  const struct {
    const char* name;
    QStringList args;
    int status;
    const char* text;  // in what it printed, on either channel
  } rows[] = {
      // clang-format off
      // Normal-terminal mode: each status line is text, CR, LF and two LF.
      {"uploaded", {"demo.binary", "-L", "6"}, kExitUploaded,
       "Propeller Upload on COM: 6\nFile: demo.binary\n"
       "Start Upload\r\n\n\nPropeller Version = 1\r\n\n\n"
       "Write in RAM Lenght=1000\r\n\n\nVerify ..\r\n\n\n..OK -> RUN\r\n\n\n"},
      {"port that does not open", {"demo.binary", "-L", "7"}, kExitNoPort,
       "COM: 7\nFile: demo.binary\nNo COM: wrong number or not activated\n"},
      {"port missing after -L", {"demo.binary", "-L"}, kExitUnknownOption,
       "kestrix: -L needs a value after it\n\nUsage: kestrix"},
      // One line, not Qt's abort.
      {"window without a display", {"my.ini"}, kExitCannotStart,
       "kestrix: no display to open the window on (DISPLAY is not set); "
       "\"kestrix FILE -L PORT\" uploads without one\n"},
      // clang-format on
  };
  const std::string file = Ramp(1000, 3);
  for (const auto& row : rows) {
    TempFolder folder;
    std::filesystem::create_symlink("/nowhere", folder / "COM7");
    folder.Write("demo.binary", file);
    sim::PtyPropeller chip;
    ASSERT_TRUE(chip.Start(folder.path().string(), 6)) << row.name;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
      env.remove(name);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(QString::fromStdString(folder.path().string()));
    child.start(KESTRIX_EXECUTABLE, row.args);
    EXPECT_TRUE(child.waitForFinished(60000)) << row.name;
    EXPECT_EQ(child.exitCode(), row.status) << row.name;
    const std::string out = child.readAll().toStdString();
    EXPECT_NE(out.find(row.text), std::string::npos) << row.name << ": " << out;
    EXPECT_TRUE(row.status != kExitCannotStart || out == row.text) << out;
    if (row.status == kExitUploaded) {
      EXPECT_TRUE(chip.WaitBetweenSessions(3000));
      const auto bytes = chip.LastRecord().ImageBytes();
      EXPECT_EQ(std::string(bytes.begin(), bytes.end()), file);
    }
  }
}

}  // namespace
}  // namespace kestrix::test
