#include <gtest/gtest.h>

#include <string>

#include "WirePort.h"
#include "loader/MonitorLoader.h"
#include "sim/P2Monitor.h"
#include "support/TempFolder.h"

namespace kestrix::test {
namespace {

TEST(SimulatedMonitorTest, LoadFillsHubMemoryAndEchoes) {
  const struct {
    const char* name;
    std::int32_t address;
    int bytes;
    std::uint32_t firstHub;
    std::uint32_t start;
  } rows[] = {{"aligned, read back", 0x1000, 69, 0x1000, 0x1000},
              {"below E80, echo overflows", 0, 0x1800, 0xE80, 0xE80}};
  for (const auto& row : rows) {
    TempFolder folder;
    std::string file;
    for (int i = 0; i < row.bytes; ++i)
      file.push_back(static_cast<char>(i * 5));
    sim::P2Monitor monitor;
    VirtualClock clock;
    WirePort port(monitor, clock);
    NullHost host;
    SharedBlocks blocks;
    int msMoveOff = 0, normal = 0;
    MonitorLoadContext context{port, clock, host, blocks, {msMoveOff, normal}};
    MonitorLoad(folder.Write("p.obj", file), row.address, context);

    const std::uint32_t skipped = row.firstHub - row.address;
    EXPECT_EQ(monitor.BytesLoaded(), row.bytes - skipped) << row.name;
    bool same = true;
    for (std::uint32_t k = skipped; k < file.size(); ++k) {
      same &= monitor.HubByte(row.address + k) ==
              static_cast<std::uint8_t>(file[k]);
    }
    EXPECT_TRUE(same) << row.name;
    EXPECT_EQ(monitor.HubByte(row.firstHub - 1), -1) << row.name;
    EXPECT_EQ(monitor.StartAddress(), row.start) << row.name;
    EXPECT_EQ(monitor.Errors(), 0) << row.name;

    const std::string typed(port.sent.begin(), port.sent.end());
    const std::size_t kept = std::min(typed.size(), sim::P2Monitor::kEchoLimit);
    std::string echo(sim::P2Monitor::kEchoLimit + 1, '\0');
    echo.resize(
        monitor.TakeReplies(reinterpret_cast<std::uint8_t*>(echo.data()),
                            static_cast<int>(echo.size())));
    EXPECT_EQ(echo, typed.substr(typed.size() - kept)) << row.name;
    EXPECT_EQ(monitor.EchoDropped(), typed.size() - kept) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
