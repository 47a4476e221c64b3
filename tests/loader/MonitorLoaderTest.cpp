#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "loader/MonitorLoader.h"
#include "support/FakePort.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

std::string Bytes(int count, int first) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>(first + i));
  return bytes;
}

struct LoadRig {
  test::TempFolder folder;
  test::FakePort port;
  test::VirtualClock clock;
  NullHost host;
  SharedBlocks blocks;
  int msMoveOff = 5;
  int normalTerminal = 0;
  MonitorLoadContext context{
      port, clock, host, blocks, {msMoveOff, normalTerminal}};
};

TEST(MonitorLoadTest, TypesExactLines) {
  const struct {
    const char* name;
    std::int32_t address;
    std::string file;
    std::string typed;
  } rows[] = {
      {"E80, 20 bytes", 0xE80, Bytes(20, 0),
       "E80:00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n"
       "E90:10 11 12 13\r\n0+E80"},
      {"address 0 skips the monitor's area", 0, Bytes(0xE94, 0),
       "\r\nE80:80 81 82 83 84 85 86 87 88 89 8A 8B 8C 8D 8E 8F\r\n"
       "E90:90 91 92 93\r\n0+E80"},
      {"E7F skips one byte", 0xE7F, std::string("\x11\x00\x0A\xFF", 4),
       "\r\nE80:00 0A FF\r\n0+E80"},
      {"1000, 17 bytes", 0x1000, Bytes(17, 0),
       "1000:00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n"
       "1010:10\r\n0+1000"},
      {"empty file", 0xE80, "", "\r\n0+E80"},
      {"negative address counts as below", -1, Bytes(40, 0), "\r\n0+E80"},
      {"unaligned address", 0xE8E, Bytes(3, 0xA0), " A0 A1\r\nE90:A2\r\n0+E8E"},
  };
  for (const auto& row : rows) {
    LoadRig rig;
    MonitorLoad(rig.folder.Write("p.obj", row.file), row.address, rig.context);
    EXPECT_EQ(rig.port.WrittenText(), row.typed) << row.name;
    for (const auto& write : rig.port.writes) {
      EXPECT_EQ(write.size(), 1u) << row.name;
    }
    EXPECT_EQ(rig.port.purges, 1) << row.name;
    EXPECT_EQ(rig.msMoveOff, 0) << row.name;
  }
}

TEST(MonitorLoadTest, RefusesWhatIsNotAPlainFile) {
  const struct {
    const char* name;
    int kind;  // 0 missing, 1 folder, 2 FIFO
  } rows[] = {{"missing", 0}, {"folder", 1}, {"FIFO", 2}};
  for (const auto& row : rows) {
    LoadRig rig;
    const auto path = rig.folder / "p.obj";
    if (row.kind == 1) std::filesystem::create_directory(path);
    if (row.kind == 2) ::mkfifo(path.c_str(), 0600);
    MonitorLoad(path, 0xE80, rig.context);
    EXPECT_TRUE(rig.port.writes.empty()) << row.name;
    EXPECT_EQ(rig.msMoveOff, 5) << row.name;
  }
}

// A port that is unplugged after some writes: closed, or still "open" with
// every write failing.
class VanishingPort : public test::FakePort {
 public:
  int writesLeft = 10;
  bool staysOpen = false;
  int failedWrites = 0;
  int Write(const std::uint8_t* data, int count) override {
    if (writesLeft == 0) {
      ++failedWrites;
      return -1;
    }
    const int written = FakePort::Write(data, count);
    if (--writesLeft == 0 && !staysOpen) open = false;
    return written;
  }
};

TEST(MonitorLoadTest, PortLostEndsTheLoad) {
  for (bool staysOpen : {false, true}) {
    const char* name = staysOpen ? "writes fail" : "port closed";
    LoadRig rig;
    VanishingPort port;
    port.staysOpen = staysOpen;
    MonitorLoadContext context{port,
                               rig.clock,
                               rig.host,
                               rig.blocks,
                               {rig.msMoveOff, rig.normalTerminal}};
    MonitorLoad(rig.folder.Write("p.obj", Bytes(200, 0)), 0xE80, context);
    EXPECT_EQ(port.WrittenText(), "E80:00 01 ") << name;
    EXPECT_LE(port.failedWrites, 1) << name;
    EXPECT_EQ(rig.msMoveOff, 0) << name;
  }
}

}  // namespace
}  // namespace kestrix
