// The demo reads the PC's answers and typed monitor lines right: a wrong
// reading would show the user a fault of the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "P1BootAdapter.h"
#include "sim/DemoDevice.h"
#include "sim/DemoFiles.h"
#include "sim/DemoMonitor.h"

namespace kestrix::test {
namespace {

std::string Le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8),
          static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

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
  for (const Row& row : {
           Row{"no prepared file", '0', Le32(0xFFFFFFFF),
               "No prepared file (size -1)."},
           Row{"prepared, last block asked", '0', Le32(1024) + Block(1, 512),
               kSecondBlockRequest},
           Row{"prepared, good sum of negative bytes", '0',
               Le32(100) + Block(-1, 0xFFFFFE00), "FE00: they agree"},
           Row{"prepared, sum differs", '0', Le32(100) + Block(-1, 0x200),
               "they DIFFER"},
           Row{"pixel query", '3', "\xFE",
               "inside the blue box      -> 0xFE black"},
           Row{"clock as a date", '5', "86399\r", "so: 1970-01-01 23:59:59"},
           Row{"empty binary file", '8', Le32(0), "Length announced: 0 bytes"},
           Row{"mouse report on the keys page", '6',
               std::string("\x05\x21\x0A\x14", 4),
               "mouse x= 21 y= 40 buttons=1"},
       }) {
    simtool::P1BootAdapter rom;
    sim::DemoDevice device(rom);
    std::int64_t now = 1000;
    auto send = [&](const std::string& bytes) {
      device.OnHostBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                         static_cast<int>(bytes.size()), now);
      now += 100;  // past the hold of a digit that may start a monitor line
      device.Tick(now);
    };
    send(std::string(1, row.key));
    send(row.answer);
    std::string seen(64 * 1024, '\0');
    seen.resize(static_cast<std::size_t>(
        device.TakeReplies(reinterpret_cast<std::uint8_t*>(seen.data()),
                           static_cast<int>(seen.size()))));
    EXPECT_NE(seen.find(row.shown), std::string::npos) << row.name;
  }
}

TEST(DemoMonitor, ReadsTypedLinesIntoAddressesBytesAndStart) {
  struct Row {
    const char* name;
    std::string typed;
    std::vector<std::uint32_t> load;  // first, last, bytes, sum, start
  };
  for (const Row& row : {
           Row{"second line's address",
               "1000:01 02\r\n1010:FF\r\n0+1000",
               {0x1000, 0x1010, 3, 0x102, 0x1000}},
           Row{"raised to E80 after a line break",
               "\r\nE80:0A\r\n0+E80",
               {0xE80, 0xE80, 1, 0x0A, 0xE80}},
           Row{"start differs from the first address",
               "E80:00\r\n0+12345",
               {0xE80, 0xE80, 1, 0, 0x12345}},
       }) {
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

}  // namespace
}  // namespace kestrix::test
