#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ServiceRig.h"

namespace kestrix::test {
namespace {

std::string Length(std::uint32_t n) {
  return {static_cast<char>(n), static_cast<char>(n >> 8),
          static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
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
      {"f, 40 bytes as 16, 16, 8", 'f', kPlain, Bytes(40),
       Length(40) + Bytes(40), {50, 40, 80, 100}},
      {"f, empty file: the length alone", 'f', kPlain, "", Length(0), {50}},
      {"a, the prepared file", 'a', kPlain, Bytes(33),
       Length(33) + Bytes(33), {50, 48, 96, 100}},
      {"*.* asks for the file", 'f', kAsk, Bytes(5), Length(5) + Bytes(5),
       {50, 100}},
      {"*.* cancelled", 'f', kAskCancelled, Bytes(5), "", {}},
      {"4 GiB refused with a line", 'f', kHuge, "", "", {}},
      {"grows after it was measured", 'f', kGrows, "", Length(0), {50}},
      {"port closed", 'f', kClosed, Bytes(20), Length(20) + Bytes(16),
       {50, 80}},
      {"writes fail", 'f', kFailing, Bytes(20), Length(20) + Bytes(16),
       {50, 80}},
      {"acknowledged in round 199", 'f', kPlain, Bytes(20),
       Length(20) + Bytes(20), {50, 80, 100}, kLate, 1980, 3960},
      {"acknowledged only in round 200", 'f', kPlain, Bytes(20), Length(20),
       {50}, kLate, 1990, 1990},
      // clang-format on
  };
  for (const auto& row : rows) {
    ServiceRig rig({{row.letter, "x.bin", "", 0}}, row.ack, row.lateMs);
    std::string path = rig.folder.Write("x.bin", row.file).string();
    rig.preparedFile = path;
    if (row.kind == kHuge) std::filesystem::resize_file(path, 1ull << 32);
    if (row.kind == kGrows) {
      rig.port.onPurge = [&](int n) {
        if (n == 2) rig.folder.Write("x.bin", Bytes(40));
      };
    }
    rig.port.writesLeft = row.kind >= kClosed ? 2 : -1;
    rig.port.failsOpen = row.kind == kFailing;
    if (row.kind == kAsk) rig.host.openAnswers.push_back({path, 1});
    if (row.kind == kAsk || row.kind == kAskCancelled) path = "*.*";
    EXPECT_EQ(rig.Run(row.letter, path), row.letter) << row.name;
    EXPECT_EQ(rig.Sent(), row.sent) << row.name;
    const bool complete = row.sent.size() == row.file.size() + 4;
    EXPECT_EQ(rig.client.ReceivedExactly(0, row.file), complete) << row.name;
    if (path == "*.*") {
      EXPECT_EQ(rig.log.at(0),
                "host open Download Binary; bins/*.binary; "
                "Propeller(.binary)|*.binary|All Files|*.*; 0")
          << row.name;
    }
    std::vector<std::string> lines;
    if (row.kind == kHuge) lines = {"File too large for the device: " + path};
    if (row.lateMs >= 1990) lines = {"text:TimeOut Error"};
    EXPECT_EQ(rig.output.lines, lines) << row.name;
    EXPECT_EQ(rig.clock.TotalSleptMs(), row.pausedMs) << row.name;
    EXPECT_LE(rig.port.writesWhileGone, 1) << row.name;
    EXPECT_EQ(rig.host.progress, row.progress) << row.name;
    EXPECT_FALSE(rig.host.progressShown) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
