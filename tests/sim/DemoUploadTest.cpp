// Uploads into the demo device in process: a Propeller 1 image through the
// real upload driver, and monitor lines as a Propeller 2 load types them.
#include <gtest/gtest.h>

#include <functional>
#include <numeric>

#include "P1BootAdapter.h"
#include "core/BytePort.h"
#include "core/Host.h"
#include "core/TextOutput.h"
#include "loader/UploadDriver.h"
#include "sim/DemoDevice.h"
#include "sim/DemoStream.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace kestrix::test {
namespace {

// The line to the demo; the device's time is the clock's.
class DemoPort : public BytePort {
 public:
  DemoPort(sim::DemoDevice& device, VirtualClock& clock)
      : device_(device), clock_(clock) {}
  bool IsOpen() const override { return true; }
  int Write(const std::uint8_t* data, int count) override {
    device_.OnHostBytes(data, count, clock_.monotonicMs);
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    device_.Tick(clock_.monotonicMs);
    return device_.TakeReplies(data, max);
  }
  void PurgeReceive() override {}
  void SetDtr(bool) override {}
  void SetRts(bool) override {}

 private:
  sim::DemoDevice& device_;
  VirtualClock& clock_;
};

class Lines : public TextOutput {
 public:
  std::string text;
  void PrintText(std::string_view t) override { text += t; }
  void PrintLine(std::string_view t) override { (text += t) += '\n'; }
  bool HasScreen() const override { return true; }
  void ClearScreen() override {}
  void ShowPicture(const Raster&, int) override {}
};

std::string Joined(const std::vector<std::string>& lines) {
  return std::accumulate(
      lines.begin(), lines.end(), std::string(),
      [](std::string a, const std::string& b) { return a + b + "\n"; });
}

TEST(DemoUpload, ImagesAndMonitorLinesAreReportedThenTheDemoStartsAgain) {
  struct Row {
    const char* name;
    std::function<void(DemoPort&, VirtualClock&, TempFolder&)> upload;
    std::string report;
  };
  auto p1 = [](const char* file, int size) {
    return [=](DemoPort& port, VirtualClock& clock, TempFolder& folder) {
      std::string image(static_cast<std::size_t>(size), '\0');
      for (int i = 0; i < size; ++i) image[i] = static_cast<char>(i * 7 + 3);
      Settings settings;
      NullHost host;
      Lines output;
      LoaderImage loaderImage{};
      Raster logo;
      UploadEnvironment env{port,     clock,       host, output,
                            settings, loaderImage, logo};
      UploadFile(folder.Write(file, image).string(), env);
      EXPECT_NE(output.text.find("OK"), std::string::npos) << output.text;
    };
  };
  auto typed = [](const std::string& text) {
    return [=](DemoPort& port, VirtualClock&, TempFolder&) {
      port.Write(reinterpret_cast<const std::uint8_t*>(text.data()),
                 static_cast<int>(text.size()));
    };
  };
  // Bytes i * 7 + 3: 100 of them sum to 0x2E86, 32768 to 0x3FC000.
  for (const Row& row :
       {Row{"P1 RAM", p1("blink.binary", 100),
            "Propeller 1 upload into RAM: 100 bytes, byte sum 0x00002E86"},
        Row{"P1 EEPROM", p1("full.eeprom", 32768),
            "Propeller 1 upload into EEPROM: 32768 bytes, byte sum 0x003FC000"},
        Row{"P2 monitor",
            typed("E80:00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F\r\n"
                  "E90:10 11 12 13\r\n0+E80"),
            "Propeller 2 monitor: E80..E93, 20 bytes, byte sum 0x000000BE, "
            "start E80"}}) {
    TempFolder folder;
    VirtualClock clock;
    clock.monotonicMs = 1000;
    simtool::P1BootAdapter rom;
    sim::DemoDevice device(rom);
    DemoPort port(device, clock);
    row.upload(port, clock, folder);
    std::string seen;
    std::uint8_t buffer[4096];
    for (int ms = 0; ms < 3000; ms += 10) {
      clock.monotonicMs += 10;
      const int n = port.Read(buffer, sizeof buffer);
      seen.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(n));
    }
    EXPECT_NE(Joined(device.TakeLog()).find(row.report + "\n"),
              std::string::npos)
        << row.name;
    // On the window: the report, then the title with the report again.
    const std::size_t report = seen.find(row.report);
    EXPECT_NE(report, std::string::npos) << row.name;
    EXPECT_NE(seen.find("simulated Propeller is using this window", report),
              std::string::npos)
        << row.name;
    EXPECT_EQ(device.page(), sim::DemoDevice::Page::kTitle) << row.name;
    if (std::string(row.name) == "P2 monitor") {
      EXPECT_NE(seen.find("E90:10 11 12 13\r0+E80"), std::string::npos)
          << row.name << ": the monitor echoes each line, CR for CR LF";
    }
  }
}

}  // namespace
}  // namespace kestrix::test
