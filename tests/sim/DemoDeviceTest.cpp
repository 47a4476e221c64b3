#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "P1BootAdapter.h"
#include "core/Host.h"
#include "loader/RecordingOutput.h"
#include "loader/UploadDriver.h"
#include "sim/DemoDevice.h"
#include "sim/DemoFiles.h"
#include "sim/DemoMonitor.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "support/WirePort.h"

namespace kestrix::test {
namespace {

// The line to the demo; the device's time is the clock's.
struct DemoPort : FakePort {
  int Write(const std::uint8_t* data, int count) override {
    device.OnHostBytes(data, count, clock.monotonicMs);
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    device.Tick(clock.monotonicMs);
    return device.TakeReplies(data, max);
  }
  // Sends `bytes`, then lets `ms` pass; what the demo sent meanwhile.
  std::string Exchange(const std::string& bytes, int ms) {
    Write(reinterpret_cast<const std::uint8_t*>(bytes.data()),
          static_cast<int>(bytes.size()));
    std::string seen;
    std::uint8_t buffer[4096];
    for (int t = 0; t < ms; t += 10) {
      clock.monotonicMs += 10;
      const int n = Read(buffer, sizeof buffer);
      seen.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(n));
    }
    return seen;
  }

  simtool::P1BootAdapter rom;
  sim::DemoDevice device{rom};
  VirtualClock clock;
};

std::string Block(char fill, std::uint32_t checksum) {
  return std::string(512, fill) + Le32(checksum);
}

TEST(DemoPages, ShowWhatThePcAnswered) {
  struct Row {
    const char* name;
    char key;
    std::string answer;  // the PC's bytes after the page's first request
    std::string shown;   // a text the page must then send
  };
  const std::string kSecondBlockRequest = "\x05\x81\x80\x01";
  // clang-format off
  for (const Row& row : {
           Row{"no prepared file", '0', Le32(0xFFFFFFFF), "No prepared file (size -1)."},
           Row{"prepared, last block asked", '0', Le32(1024) + Block(1, 512), kSecondBlockRequest},
           Row{"prepared, good sum of negative bytes", '0', Le32(100) + Block(-1, 0xFFFFFE00), "FE00: they agree"},
           Row{"prepared, sum differs", '0', Le32(100) + Block(-1, 0x200), "they DIFFER"},
           Row{"pixel query", '3', "\xFE", "inside the blue box      -> 0xFE black"},
           Row{"clock as a date", '5', "86399\r", "so: 1970-01-01 23:59:59"},
           Row{"empty binary file", '8', Le32(0), "Length announced: 0 bytes"},
           Row{"mouse report on the keys page", '6', std::string("\x05\x21\x0A\x14", 4), "mouse x= 21 y= 40 buttons=1"}}) {
    // clang-format on
    DemoPort port;
    // Past the hold of a digit that may start a monitor line.
    std::string seen = port.Exchange(std::string(1, row.key), 100);
    seen += port.Exchange(row.answer, 100);
    EXPECT_NE(seen.find(row.shown), std::string::npos) << row.name;
  }
}

TEST(DemoMonitor, ReadsTypedLinesIntoAddressesBytesAndStart) {
  struct Row {
    const char* name;
    std::string typed;
    std::vector<std::uint32_t> load;  // first, last, bytes, sum, start
  };
  // clang-format off
  for (const Row& row : {
           Row{"second line's address", "1000:01 02\r\n1010:FF\r\n0+1000", {0x1000, 0x1010, 3, 0x102, 0x1000}},
           Row{"raised to E80 after a line break", "\r\nE80:0A\r\n0+E80", {0xE80, 0xE80, 1, 0x0A, 0xE80}},
           Row{"start differs from the first address", "E80:00\r\n0+12345", {0xE80, 0xE80, 1, 0, 0x12345}}}) {
    // clang-format on
    sim::DemoMonitor monitor;
    for (char c : row.typed) monitor.OnByte(static_cast<std::uint8_t>(c));
    const auto l = monitor.Result();
    EXPECT_TRUE(monitor.Closing()) << row.name;
    EXPECT_EQ((std::vector{l.first, l.last, l.bytes, l.sum, l.start}), row.load)
        << row.name;
  }
}

TEST(DemoSamples, ImagesCarryAGoodChecksumAndTheirSizes) {
  const std::string binary = sim::BlinkBinaryContent();
  const std::string eeprom = sim::BlinkEepromContent();
  EXPECT_EQ(sim::P1ImageChecksum(binary), 0);
  EXPECT_EQ(sim::P1ImageChecksum(eeprom), 0);
  // The variables' base is the file's length; the image ends in whole longs.
  EXPECT_EQ(static_cast<std::size_t>(binary[8] | binary[9] << 8),
            binary.size());
  EXPECT_EQ(eeprom.size(), 32768u);
  EXPECT_EQ(eeprom.compare(0, binary.size(), binary), 0);
}

TEST(DemoUpload, ImagesAndMonitorLinesAreReportedThenTheDemoStartsAgain) {
  struct Row {
    const char* name;
    const char* file;  // a Propeller 1 image of bytes i * 7 + 3, or none
    int size;
    std::string typed;  // monitor lines instead
    std::string report;
  };
  // clang-format off
  for (const Row& row :
       {Row{"P1 RAM", "blink.binary", 100, "", "Propeller 1 upload into RAM: 100 bytes, byte sum 0x00002E86"},
        Row{"P1 EEPROM", "full.eeprom", 32768, "", "Propeller 1 upload into EEPROM: 32768 bytes, byte sum 0x003FC000"},
        Row{"P2 monitor", "", 0, "E80:00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\nE90:10 11 12 13\r\n0+E80",
            "Propeller 2 monitor: E80..E93, 20 bytes, byte sum 0x000000BE, start E80"}}) {
    // clang-format on
    SCOPED_TRACE(row.name);
    TempFolder folder;
    DemoPort port;
    if (row.size > 0) {
      NullHost host;
      RecordingOutput output;
      LoaderImage loaderImage{};
      SharedBlocks blocks;
      UploadFile(folder.Write(row.file, Ramp(row.size, 3)).string(),
                 {port, port.clock, output, host, blocks}, /*useRts=*/false,
                 loaderImage, Raster{});
    }
    const std::string seen = port.Exchange(row.typed, 3000);
    const auto log = port.device.TakeLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), row.report), 1);
    const std::size_t report = seen.find(row.report);
    EXPECT_NE(report, std::string::npos);
    EXPECT_NE(seen.find("simulated Propeller is using this window", report),
              std::string::npos);
    // The monitor echoes each typed line, CR for CR LF.
    EXPECT_TRUE(row.typed.empty() ||
                seen.find("E90:10 11 12 13\r0+E80") < std::string::npos);
  }
}

}  // namespace
}  // namespace kestrix::test
