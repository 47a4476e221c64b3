#include <gtest/gtest.h>

#include <string>

#include "loader/MonitorLoader.h"
#include "loader/RecordingOutput.h"
#include "sim/P2Monitor.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "support/WirePort.h"

namespace kestrix::test {
namespace {

TEST(MonitorLoadTest, TypesExactLinesIntoTheMonitor) {
  const struct {
    const char* name;
    std::int32_t address;
    std::string file;
    std::string typed;
    // 0 plain file, 1 missing, 2 folder, 3 FIFO; 4 the port closes after
    // 10 writes, 5 its writes fail after 10
    int kind = 0;
  } rows[] = {
      // clang-format off
      {"E80, 20 bytes", 0xE80, Ramp(20, 0, 1), "E80:00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\nE90:10 11 12 13\r\n0+E80"},
      {"address 0 skips the monitor's area", 0, Ramp(0xE94, 0, 1), "\r\nE80:80 81 82 83 84 85 86 87 88 89 8A 8B 8C 8D 8E 8F\r\nE90:90 91 92 93\r\n0+E80"},
      {"E7F skips one byte", 0xE7F, std::string("\x11\x00\x0A\xFF", 4), "\r\nE80:00 0A FF\r\n0+E80"},
      {"1000, 17 bytes", 0x1000, Ramp(17, 0, 1), "1000:00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n1010:10\r\n0+1000"},
      {"empty file", 0xE80, "", "\r\n0+E80"},
      {"negative address counts as below", -1, Ramp(40, 0, 1), "\r\n0+E80"},
      {"unaligned address", 0xE8E, Ramp(3, 0xA0, 1), "E8E:A0 A1\r\nE90:A2\r\n0+E8E"},
      {"missing file", 0xE80, "", "", 1},
      {"folder", 0xE80, "", "", 2},
      {"FIFO", 0xE80, "", "", 3},
      {"port closed mid-load", 0xE80, Ramp(99, 0, 1), "E80:00 01 ", 4},
      {"writes fail mid-load", 0xE80, Ramp(99, 0, 1), "E80:00 01 ", 5},
      // clang-format on
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder folder;
    sim::P2Monitor monitor;
    VirtualClock clock;
    WirePort port(monitor, clock);
    port.writesLeft = row.kind >= 4 ? 10 : -1;
    port.failsOpen = row.kind == 5;
    NullHost host;
    SharedBlocks blocks;
    RecordingOutput output;
    const TransferContext context{port, clock, output, host, blocks};
    auto path = folder / "p.obj";
    if (row.kind == 0 || row.kind >= 4) folder.Write("p.obj", row.file);
    if (row.kind == 2) std::filesystem::create_directory(path);
    if (row.kind == 3) MakeFifo(path);
    MonitorLoad(path, row.address, context);
    EXPECT_EQ(port.WrittenText(), row.typed);
    EXPECT_EQ(port.writes.size(), row.typed.size());  // 1 each
    EXPECT_EQ(port.events, std::vector<std::string>{"purge"});
    EXPECT_LE(port.writesWhileGone, 1);
    // The typed text pins what the monitor holds; it must have taken it all.
    EXPECT_EQ(monitor.Errors(), 0);
  }
}

}  // namespace
}  // namespace kestrix::test
