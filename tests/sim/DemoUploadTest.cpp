// Uploads into the demo: P1 images by the real driver, P2 monitor lines.
#include <gtest/gtest.h>

#include <algorithm>

#include "P1BootAdapter.h"
#include "core/BytePort.h"
#include "core/Host.h"
#include "loader/RecordingOutput.h"
#include "loader/UploadDriver.h"
#include "sim/DemoDevice.h"
#include "sim/DemoStream.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace kestrix::test {
namespace {

// The line to the demo; the device's time is the clock's.
struct DemoPort : BytePort {
  DemoPort(sim::DemoDevice& d, VirtualClock& c) : device(d), clock(c) {}
  bool IsOpen() const override { return true; }
  int Write(const std::uint8_t* data, int count) override {
    device.OnHostBytes(data, count, clock.monotonicMs);
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    device.Tick(clock.monotonicMs);
    return device.TakeReplies(data, max);
  }
  void PurgeReceive() override {}
  void SetDtr(bool) override {}
  void SetRts(bool) override {}
  sim::DemoDevice& device;
  VirtualClock& clock;
};

TEST(DemoUpload, ImagesAndMonitorLinesAreReportedThenTheDemoStartsAgain) {
  struct Row {
    const char* name;
    const char* file;  // a Propeller 1 image of bytes i * 7 + 3, or none
    int size;
    std::string typed;  // monitor lines instead
    std::string report;
  };
  for (const Row& row :
       {Row{"P1 RAM", "blink.binary", 100, "",
            "Propeller 1 upload into RAM: 100 bytes, byte sum 0x00002E86"},
        Row{"P1 EEPROM", "full.eeprom", 32768, "",
            "Propeller 1 upload into EEPROM: 32768 bytes, byte sum 0x003FC000"},
        Row{"P2 monitor", "", 0,
            "E80:00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n"
            "E90:10 11 12 13\r\n0+E80",
            "Propeller 2 monitor: E80..E93, 20 bytes, byte sum 0x000000BE, "
            "start E80"}}) {
    TempFolder folder;
    VirtualClock clock;
    simtool::P1BootAdapter rom;
    sim::DemoDevice device(rom);
    DemoPort port(device, clock);
    if (row.size > 0) {
      std::string image(static_cast<std::size_t>(row.size), '\0');
      for (int i = 0; i < row.size; ++i)
        image[i] = static_cast<char>(i * 7 + 3);
      NullHost host;
      RecordingOutput output;
      LoaderImage loaderImage{};
      const Raster logo;
      SharedBlocks blocks;
      UploadFile(folder.Write(row.file, image).string(),
                 {port, clock, output, host, blocks}, /*useRts=*/false,
                 loaderImage, logo);
    }
    port.Write(reinterpret_cast<const std::uint8_t*>(row.typed.data()),
               static_cast<int>(row.typed.size()));
    std::string seen;
    std::uint8_t buffer[4096];
    for (int ms = 0; ms < 3000; ms += 10) {
      clock.monotonicMs += 10;
      const int n = port.Read(buffer, sizeof buffer);
      seen.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(n));
    }
    const auto log = device.TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), row.report), 1) << row.name;
    const std::size_t report = seen.find(row.report);
    EXPECT_NE(report, std::string::npos) << row.name;
    EXPECT_NE(seen.find("simulated Propeller is using this window", report),
              std::string::npos)
        << row.name;
    // The monitor echoes each typed line, CR for CR LF.
    EXPECT_TRUE(row.typed.empty() ||
                seen.find("E90:10 11 12 13\r0+E80") < std::string::npos)
        << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
