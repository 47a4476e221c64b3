#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/SharedBlocks.h"
#include "loader/RecordingOutput.h"
#include "services/LetteredRequests.h"
#include "sim/DeviceClient.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "support/WirePort.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

struct ServiceRig {
  explicit ServiceRig(std::vector<sim::ClientRequest> program,
                      sim::Acknowledge ack = sim::Acknowledge::kAtOnce,
                      int lateMs = 0)
      : client(std::move(program), ack, lateMs), port(client, clock) {
    port.DrainRequest();
  }

  char Request(std::int32_t request, const std::string& name,
               const std::string& previous = "") {
    const RequestNames names{name, previous, binPath, preparedFile};
    return RunLetteredRequest(
        request, names, pace, context,
        [this](const std::string& path) { log.push_back("upload " + path); });
  }
  std::string Sent() const { return port.WrittenText(); }

  TempFolder folder;
  VirtualClock clock;
  sim::DeviceClient client;
  WirePort port;
  std::vector<std::string> log;
  ScriptedHost host{log};
  RecordingOutput output;
  SharedBlocks blocks;
  std::string binPath = "bins/";
  std::string preparedFile;
  TypingPace pace = DevicePace(false, false);
  TransferContext context{port, clock, output, host, blocks};
};

// 0 plain file, 1 folder, 2 FIFO, 3 a sparse file of 4 GiB; -1 nothing.
fs::path Make(ServiceRig& rig, const std::string& name, int kind) {
  const fs::path path = rig.folder / name;
  if (kind == 0 || kind == 3) rig.folder.Write(name, std::string(1234, 'x'));
  if (kind == 1) fs::create_directory(path);
  if (kind == 2) MakeFifo(path);
  if (kind == 3) fs::resize_file(path, 1ull << 32);
  return path;
}

// No prepared file, a FIFO, or one too large: the size is -1.
TEST(RequestTableTest, SizeOfThePreparedFile) {
  for (const int kind : {-1, 2, 3}) {
    ServiceRig rig({{'o', "", "", 0}});
    if (kind > 0) rig.preparedFile = Make(rig, "p.bin", kind).string();
    EXPECT_EQ(rig.Request(2 * 'o', ""), 'o') << kind;
    EXPECT_EQ(rig.client.Results()[0].size, -1) << kind;
    EXPECT_EQ(rig.Sent().size(), 4u) << kind;
  }
}

TEST(RequestTableTest, WritesExactlyThePrintedTextOverAnOldFile) {
  ServiceRig rig({{'s', "out.txt", "hello", 0}});
  rig.folder.Write("out.txt", "an older and longer text\r\n");
  EXPECT_EQ(rig.Request(2 * 's', (rig.folder / "out.txt").string(), "hello"),
            's');
  EXPECT_EQ(rig.folder.Read("out.txt"), "hello");
  EXPECT_EQ(rig.Sent(), "");
}

TEST(RequestTableTest, TypesTextLinesWithPauses) {
  const std::string file = std::string("AB\r\nC\n\rD\0E\r", 11);
  const struct {
    const char* name;
    bool textCursor;
    bool perCharacter;
    std::vector<int> sleeps;
  } rows[] = {
      {"text cursor on", true, false, {100, 100, 100, 100, 100}},
      {"text cursor off", false, false, {10, 10, 10, 10, 10}},
      {"per character", false, true, {1, 1, 10, 1, 10, 10, 1, 10, 1, 10}},
  };
  for (const auto& row : rows) {
    ServiceRig rig({{'t', "t.txt", "", 5}});
    rig.pace = DevicePace(row.textCursor, row.perCharacter);
    EXPECT_EQ(rig.Request(2 * 't', rig.folder.Write("t.txt", file).string()),
              't');
    EXPECT_EQ(rig.client.Results()[0].typed, "AB\rC\r\rD\rE\r") << row.name;
    EXPECT_EQ(rig.clock.sleeps, row.sleeps) << row.name;
  }
}

TEST(RequestTableTest, RequestOutcomes) {
  const struct {
    const char* name;
    std::int32_t request;
    std::string file;
    int kind;    // as for Make; -1 a path to nothing, -2 the name as it is
    char taken;  // the letter carried out, 0 when refused
    std::vector<std::string> log = {};
  } rows[] = {
      // clang-format off
      {"e, an upload", 2 * 'e', "My Doc; rm x", -2, 'e', {"upload bins/My Doc; rm x"}},
      {"t, empty name", 2 * 't', "", -2, 0},
      {"i, control character", 2 * 'i', "a\x01", -2, 0},
      {"f, control character", 2 * 'f', "x\x1b", -2, 0},
      {"s, control character", 2 * 's', "ab\x02", -1, 0},
      {"t, missing file", 2 * 't', "gone.txt", -1, 't'},
      {"t, folder", 2 * 't', "dir", 1, 't'},
      {"f, FIFO", 2 * 'f', "fifo", 2, 'f'},
      {"a, folder prepared", 2 * 'a', "dir", 1, 'a'},
      {"a, none prepared", 2 * 'a', "", -2, 0},
      {"no letter", 2 * 'x', "", -2, 0},
      {"odd value", 2 * 'f' + 1, "", -2, 0},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ServiceRig rig({{'f', "x", "", 0}});
    std::string name = row.file;
    if (row.kind != -2) name = Make(rig, row.file, row.kind).string();
    if (row.request == 2 * 'a') rig.preparedFile = name;
    EXPECT_EQ(rig.Request(row.request, name, "text"), row.taken);
    EXPECT_EQ(rig.Sent(), "");
    EXPECT_EQ(rig.log, row.log);
    EXPECT_TRUE(fs::is_empty(rig.folder.path()) || row.kind >= 0);
  }
}

TEST(BinaryTransferTest, SendsLengthThenAcknowledgedBlocks) {
  enum Kind { kPlain, kAsk, kAskCancelled, kHuge, kGrows, kClosed, kFailing };
  using enum sim::Acknowledge;
  const struct {
    const char* name;
    char letter;
    Kind kind;
    std::string file;
    std::string sent;
    std::vector<int> progress;
    sim::Acknowledge ack = kAtOnce;
    int lateMs = 0;
    std::int64_t pausedMs = 0;
  } rows[] = {
      // clang-format off
      {"f, 40 bytes as 16, 16, 8", 'f', kPlain, Ramp(40), Le32(40) + Ramp(40), {50, 40, 80, 100}},
      {"f, empty file: the length alone", 'f', kPlain, "", Le32(0), {50}},
      {"a, the prepared file", 'a', kPlain, Ramp(33), Le32(33) + Ramp(33), {50, 48, 96, 100}},
      {"*.* asks for the file", 'f', kAsk, Ramp(5), Le32(5) + Ramp(5), {50, 100}},
      {"*.* cancelled", 'f', kAskCancelled, Ramp(5), "", {}},
      {"4 GiB refused with a line", 'f', kHuge, "", "", {}},
      {"grows after it was measured", 'f', kGrows, "", Le32(0), {50}},
      {"port closed", 'f', kClosed, Ramp(20), Le32(20) + Ramp(16), {50, 80}},
      {"writes fail", 'f', kFailing, Ramp(20), Le32(20) + Ramp(16), {50, 80}},
      {"acknowledged in round 199", 'f', kPlain, Ramp(20), Le32(20) + Ramp(20), {50, 80, 100}, kLate, 1980, 3960},
      {"acknowledged only in round 200", 'f', kPlain, Ramp(20), Le32(20), {50}, kLate, 1990, 1990},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ServiceRig rig({{row.letter, "x.bin", "", 0}}, row.ack, row.lateMs);
    std::string path = rig.folder.Write("x.bin", row.file).string();
    rig.preparedFile = path;
    if (row.kind == kHuge) std::filesystem::resize_file(path, 1ull << 32);
    if (row.kind == kGrows) {
      rig.port.onPurge = [&](int n) {
        if (n == 2) rig.folder.Write("x.bin", Ramp(40));
      };
    }
    rig.port.writesLeft = row.kind >= kClosed ? 2 : -1;
    rig.port.failsOpen = row.kind == kFailing;
    if (row.kind == kAsk) rig.host.openAnswers.push_back({path, 1});
    if (row.kind == kAsk || row.kind == kAskCancelled) path = "*.*";
    EXPECT_EQ(rig.Request(2 * row.letter, path), row.letter);
    EXPECT_EQ(rig.Sent(), row.sent);
    const bool complete = row.sent.size() == row.file.size() + 4;
    EXPECT_EQ(rig.client.ReceivedExactly(0, row.file), complete);
    if (path == "*.*") {
      EXPECT_EQ(rig.log.at(0),
                "host open Download Binary; bins/*.binary; "
                "Propeller(.binary)|*.binary|All Files|*.*; 0");
    }
    std::vector<std::string> lines;
    if (row.kind == kHuge) lines = {"File too large for the device: " + path};
    if (row.lateMs >= 1990) lines = {"text:TimeOut Error"};
    EXPECT_EQ(rig.output.lines, lines);
    EXPECT_EQ(rig.clock.TotalSleptMs(), row.pausedMs);
    EXPECT_LE(rig.port.writesWhileGone, 1);
    EXPECT_EQ(rig.host.progress, row.progress);
    EXPECT_FALSE(rig.host.progressShown);
  }
}

}  // namespace
}  // namespace kestrix::test
