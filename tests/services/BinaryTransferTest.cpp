#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ServiceRig.h"

namespace kestrix::test {
namespace {

std::string Bytes(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>(i * 7));
  return bytes;
}
std::string Length(std::uint32_t n) {
  return {static_cast<char>(n), static_cast<char>(n >> 8),
          static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
}
sim::ClientRequest Fetch(char letter) { return {letter, "x.bin", "", 0}; }

TEST(BinaryTransferTest, DeviceReceivesTheFileByteForByte) {
  const struct {
    const char* name;
    char letter;
    std::string file;
    std::vector<int> progress;
  } rows[] = {
      {"f, 40 bytes as 16, 16, 8", 'f', Bytes(40), {50, 40, 80, 100}},
      {"f, exactly one block", 'f', Bytes(16), {50, 100}},
      {"f, empty file: the length alone", 'f', "", {50}},
      {"a, the prepared file", 'a', Bytes(33), {50, 48, 96, 100}},
  };
  for (const auto& row : rows) {
    ServiceRig rig({Fetch(row.letter)});
    const auto path = rig.folder.Write("x.bin", row.file).string();
    rig.preparedFile = path;
    EXPECT_EQ(rig.Run(row.letter, path), row.letter) << row.name;
    EXPECT_TRUE(rig.client.ReceivedExactly(0, row.file)) << row.name;
    EXPECT_EQ(rig.Sent(), Length(row.file.size()) + row.file) << row.name;
    EXPECT_EQ(rig.host.progress, row.progress) << row.name;
    EXPECT_FALSE(rig.host.shown) << row.name;
    EXPECT_EQ(rig.msMoveOff, 0) << row.name;
    EXPECT_TRUE(rig.output.lines.empty()) << row.name;
  }
}

TEST(BinaryTransferTest, GoAheadWaitEndsAfterTwoHundredRounds) {
  const struct {
    const char* name;
    sim::Acknowledge ack;
    int lateMs;
    bool timesOut;
    std::int64_t pausedMs;
  } rows[] = {
      {"never acknowledged", sim::Acknowledge::kNever, 0, true, 2000},
      {"acknowledged in round 199", sim::Acknowledge::kLate, 1980, false, 0},
      {"acknowledged only in round 200", sim::Acknowledge::kLate, 1990, true,
       1990},
  };
  for (const auto& row : rows) {
    ServiceRig rig({Fetch('f')}, row.ack, row.lateMs);
    const std::string file = Bytes(20);
    rig.Run('f', rig.folder.Write("x.bin", file).string());
    if (row.timesOut) {
      EXPECT_EQ(rig.Sent(), Length(20)) << row.name;
      EXPECT_EQ(rig.output.lines,
                std::vector<std::string>{"text:TimeOut Error"})
          << row.name;
      EXPECT_EQ(rig.clock.TotalSleptMs(), row.pausedMs) << row.name;
    } else {
      EXPECT_TRUE(rig.client.ReceivedExactly(0, file)) << row.name;
      EXPECT_TRUE(rig.output.lines.empty()) << row.name;
    }
    EXPECT_FALSE(rig.host.shown) << row.name;
    EXPECT_EQ(rig.msMoveOff, 0) << row.name;
  }
}

TEST(BinaryTransferTest, PortLostMidTransferEndsAtOnce) {
  for (bool failsOpen : {false, true}) {
    const char* name = failsOpen ? "writes fail" : "port closed";
    ServiceRig rig({Fetch('f')});
    rig.port.writesLeft = 2;  // the length and one block
    rig.port.failsOpen = failsOpen;
    const std::string file = Bytes(100);
    rig.Run('f', rig.folder.Write("x.bin", file).string());
    EXPECT_EQ(rig.Sent(), Length(100) + file.substr(0, 16)) << name;
    EXPECT_LE(rig.port.writesWhileGone, 1) << name;
    EXPECT_EQ(rig.clock.TotalSleptMs(), 0) << name;
    EXPECT_TRUE(rig.output.lines.empty()) << name;
    EXPECT_FALSE(rig.host.shown) << name;
    EXPECT_EQ(rig.msMoveOff, 0) << name;
  }
}

TEST(BinaryTransferTest, UnusableFilesSendNothing) {
  ServiceRig rig({Fetch('f')});
  const auto huge = rig.folder / "huge.bin";
  std::filesystem::resize_file(rig.folder.Write("huge.bin", ""),
                               std::uintmax_t{1} << 32);
  rig.Run('f', huge.string());
  EXPECT_EQ(rig.Sent(), "") << "4 GiB";
  EXPECT_EQ(rig.output.lines.size(), 1u) << "4 GiB";
  rig.preparedFile = huge.string();
  rig.Run('o', "");
  EXPECT_EQ(rig.Sent(), Length(0xFFFFFFFF)) << "4 GiB size";

  // A file empty when measured that grows before it is read: the device was
  // told 0 bytes and gets nothing more.
  ServiceRig grows({Fetch('f')});
  const auto path = grows.folder.Write("g.bin", "");
  grows.port.onPurge = [&](int n) {
    if (n == 2) grows.folder.Write("g.bin", Bytes(40));
  };
  grows.Run('f', path.string());
  EXPECT_EQ(grows.Sent(), Length(0)) << "grows";
  EXPECT_TRUE(grows.output.lines.empty()) << "grows";
}

TEST(BinaryTransferTest, StarNameAsksForTheFile) {
  for (bool cancel : {true, false}) {
    const char* name = cancel ? "cancelled" : "chosen";
    ServiceRig rig({Fetch('f')});
    const std::string file = Bytes(5);
    const auto path = rig.folder.Write("c.bin", file).string();
    if (!cancel) rig.host.openAnswers.push_back({path, 1});
    rig.Run('f', "*.*");
    EXPECT_EQ(rig.log.at(0),
              "host open Download Binary; bins/\\*.binary; "
              "Propeller(.binary)|*.binary|All Files|*.*; 0")
        << name;
    EXPECT_EQ(rig.Sent(), cancel ? "" : Length(5) + file) << name;
    EXPECT_EQ(rig.msMoveOff, 0) << name;
  }
}

}  // namespace
}  // namespace kestrix::test
