// The command-line upload: a real port (a simulated chip behind a pty), the
// status lines on a text stream, the closing pause.
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "app/ConsoleUpload.h"
#include "app/WindowRig.h"
#include "support/PtyPropeller.h"

namespace kestrix::test {
namespace {

// Real time for the protocol's short waits (doubled, for a busy machine);
// long pauses are only recorded.
class PausingClock : public Clock {
 public:
  std::vector<int> longPauses;
  LocalDateTime Now() override { return {}; }
  void SleepMs(int ms) override {
    if (ms >= 1000) {
      longPauses.push_back(ms);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2 * ms));
  }
  std::int64_t MonotonicMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

// The lines that show on a console: CRs and the blank lines that
// normal-terminal mode adds are not text.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

class ConsoleUpload : public WindowTest {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrix-console-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder_ = pattern;
    std::string error;
    auto loaded = LoadEmbeddedImages(&error);
    ASSERT_TRUE(loaded.has_value()) << error;
    images_ = std::move(*loaded);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path folder_;
  EmbeddedImages images_;
};

TEST_F(ConsoleUpload, UploadsTheFileAndPrintsEveryLine) {
  PtyPropeller chip;
  ASSERT_TRUE(chip.Start(folder_.string(), 7));
  const std::filesystem::path file = folder_ / "demo.binary";
  const std::vector<std::uint8_t> bytes = {1, 2,  3,  4,  5,  6,  7,  8,
                                           9, 10, 11, 12, 13, 14, 15, 16};
  std::ofstream(file, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));

  ComPort port(folder_);
  PausingClock clock;
  std::ostringstream out;
  CommandLine commandLine = ParseCommandLine({file.string(), "-L", "7"});
  RunConsoleUpload(commandLine, {port, clock, images_, out});

  const std::vector<std::string> lines = Lines(out.str());
  EXPECT_EQ(lines, std::vector<std::string>(
                       {"Propeller Upload on COM: 7", "File: " + file.string(),
                        "Start Upload", "Propeller Version = 1",
                        "Write in RAM Lenght=16", "Verify ..", "..OK -> RUN"}));
  // Normal-terminal mode: each status line is text, CR, LF and two more LF.
  EXPECT_NE(out.str().find("\nStart Upload\r\n\n\nPropeller Version = 1\r\n"),
            std::string::npos);
  ASSERT_TRUE(chip.WaitBetweenSessions(1000));
  EXPECT_EQ(chip.LastRecord().ImageBytes(), bytes);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(clock.longPauses, std::vector<int>({2000}));
}

TEST_F(ConsoleUpload, AMissingPortIsReportedOnTheConsole) {
  ComPort port(folder_);
  PausingClock clock;
  std::ostringstream out;
  RunConsoleUpload(ParseCommandLine({"demo.binary", "-L", "3"}),
                   {port, clock, images_, out});
  EXPECT_EQ(Lines(out.str()),
            std::vector<std::string>(
                {"Propeller Upload on COM: 3", "File: demo.binary",
                 "No COM: wrong number or not activated"}));
  EXPECT_EQ(clock.longPauses, std::vector<int>({2000}));
}

TEST(StreamConsole, EachPrintedPieceEndsWithItsOwnLineFeed) {
  std::ostringstream out;
  StreamConsole console(out);
  // PrintLine in normal-terminal mode: "text\r", then "\n" on its own.
  for (const char* piece : {"Verify ..\r", "\n", "Time Out"}) {
    console.WriteLine(piece);
  }
  EXPECT_EQ(out.str(), "Verify ..\r\n\n\nTime Out\n");
}

}  // namespace
}  // namespace kestrix::test
