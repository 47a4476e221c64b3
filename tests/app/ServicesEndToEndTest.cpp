// The device's file services from the real window over a pseudo-terminal:
// simulated device programs ask the PC for files, sizes, saves and
// launches, and a simulated Propeller 2 monitor takes an object file; what
// each side ends up holding is compared with the other's.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/MenuIds.h"
#include "app/WindowRig.h"
#include "sim/DeviceClient.h"
#include "sim/P2Monitor.h"
#include "sim/PtyServer.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

constexpr int kComNr = 7;
constexpr int kPrepareKind = 4;
constexpr int kObjectKind = 3;

std::string Pattern(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = char(i * 29 + 11);
  return bytes;
}

// Holds back a device's output until the test has the window ready, so a
// request does not arrive before what it needs is prepared. Afterwards the
// device answers at once: a go-ahead sent the moment the length arrives must
// not be lost.
class HeldDevice : public sim::WireDevice {
 public:
  explicit HeldDevice(sim::WireDevice& device) : device_(device) {}
  void Release() { released_ = true; }

  void OnHostBytes(const std::uint8_t* data, int count,
                   std::int64_t nowMs) override {
    device_.OnHostBytes(data, count, nowMs);
  }
  int TakeReplies(std::uint8_t* out, int max) override {
    return released_ ? device_.TakeReplies(out, max) : 0;
  }

 private:
  sim::WireDevice& device_;
  std::atomic<bool> released_{false};
};

class ServicesEndToEnd : public WindowTest {
 protected:
  // The window on COM7 with the device served there. With real waits the
  // program's pauses pass in real time, so the device's thread can answer.
  static bool Start(WindowRig& rig, sim::PtyServer& server, bool realWaits) {
    if (realWaits) {
      rig.clock.onSleep = [](int ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      };
    }
    if (!server.Start(rig.folder.string(), kComNr)) return false;
    rig.Start();
    return true;
  }
};

TEST_F(ServicesEndToEnd, DeviceRequestsGetWhatTheyAskFor) {
  enum Setup { kPlain, kFolder, kMissing };
  const struct {
    const char* name;
    char letter;
    std::string pcFile;  // the PC's file before the request
    Setup setup = kPlain;
    std::string printed = {};  // "s": what the device prints as content
    int typedLines = 0;        // "t"
    std::string typed = {};    // "t": what the device gets
    std::optional<std::int32_t> size = {};  // "o"
  } rows[] = {
      {"f sends the file byte for byte", 'f', Pattern(1000)},
      {"t types lines ending in CR alone", 't', "AB\r\nC\nD\rE", kPlain, "", 4,
       "AB\rC\rD\rE\r"},
      {"s writes exactly the printed text over an old file", 's',
       "an older, longer file\r\n", kPlain, "Saved by the device."},
      {"o of a file: its length", 'o', Pattern(1234), kPlain, "", 0, "", 1234},
      {"o of a folder: -2", 'o', "", kFolder, "", 0, "", -2},
      {"o of a missing file: -1", 'o', "", kMissing, "", 0, "", -1},
      {"i launches the name unchanged", 'i', "", kMissing},
  };
  for (const auto& row : rows) {
    WindowRig rig({"ComNr=7", "MsMoveOff=0"});
    const fs::path file = rig.folder / "device file.dat";
    if (row.setup == kPlain) {
      std::ofstream(file, std::ios::binary) << row.pcFile;
    }
    if (row.setup == kFolder) fs::create_directory(file);
    const std::string name = row.letter == 'i' ? "My Doc; rm x" : file.string();
    const bool byName = row.letter != 'o';
    sim::DeviceClient client(
        {{row.letter, byName ? name : "", row.printed, row.typedLines}});
    HeldDevice held(client);
    sim::PtyServer server(held);
    ASSERT_TRUE(Start(rig, server, true)) << row.name;
    if (!byName) {
      rig.host.openAnswers.push_back({file.string(), kPrepareKind});
      rig.Menu(kMenuUploadFile);
    }
    held.Release();
    const auto pcFile = [&] {
      if (!fs::is_regular_file(file)) return std::string();
      std::ifstream in(file, std::ios::binary);
      return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto launched = [&] {
      return std::count(rig.log.begin(), rig.log.end(),
                        "host document My Doc; rm x");
    };
    // "s" and "i" expect no answer: the device is done once it has asked.
    EXPECT_TRUE(rig.SpinUntil([&] {
      if (row.letter == 's') return pcFile() == row.printed;
      if (row.letter == 'i') return launched() > 0;
      return server.Inspect([&](auto&) { return client.Finished(); });
    })) << row.name;
    rig.Spin(20);
    server.Stop();
    const sim::ClientResult& result = client.Results().at(0);
    if (row.letter == 'f') {
      EXPECT_TRUE(client.ReceivedExactly(0, row.pcFile)) << row.name;
    }
    EXPECT_EQ(result.Typed, row.typed) << row.name;
    EXPECT_EQ(result.Size, row.size) << row.name;
    // Only "s" changes the PC's file.
    EXPECT_EQ(pcFile(), row.letter == 's' ? row.printed : row.pcFile)
        << row.name;
    EXPECT_EQ(launched(), row.letter == 'i' ? 1 : 0) << row.name;
    EXPECT_FALSE(rig.program->state().mouseReportsHeldBack) << row.name;
  }
}

TEST_F(ServicesEndToEnd, UploadFileObjectLoadsTheMonitorsHubMemory) {
  const struct {
    const char* name;
    std::vector<std::string> answers;  // to the hub-address requester
    std::uint32_t address;             // where file byte 0 belongs
    std::size_t skipped;               // bytes that would land below E80
  } rows[] = {
      {"typed address", {"$1000"}, 0x1000, 0},
      {"cancelled: address 0 still loads from E80", {}, 0, 0xE80},
  };
  for (const auto& row : rows) {
    WindowRig rig({"ComNr=7", "MsMoveOff=0"});
    sim::P2Monitor monitor;
    sim::PtyServer server(monitor);
    ASSERT_TRUE(Start(rig, server, false)) << row.name;
    const std::string image = Pattern(row.skipped + 300);
    const fs::path file = rig.folder / "blink.obj";
    std::ofstream(file, std::ios::binary) << image;
    for (const auto& answer : row.answers)
      rig.host.inputAnswers.push_back(answer);
    rig.host.openAnswers.push_back({file.string(), kObjectKind});
    rig.Menu(kMenuUploadFile);
    const std::uint32_t start = std::max<std::uint32_t>(row.address, 0xE80);
    EXPECT_TRUE(rig.SpinUntil([&] {
      return server.Inspect([&](auto&) { return monitor.StartAddress(); }) ==
             start;
    })) << row.name;
    server.Stop();
    std::string hub;
    for (std::size_t k = row.skipped; k < image.size(); ++k) {
      hub.push_back(char(monitor.HubByte(row.address + k)));
    }
    EXPECT_EQ(hub, image.substr(row.skipped)) << row.name;
    EXPECT_EQ(monitor.BytesLoaded(), image.size() - row.skipped) << row.name;
    EXPECT_EQ(monitor.Errors(), 0) << row.name;
    EXPECT_EQ(rig.program->UploadPatternIndex(), kObjectKind) << row.name;
    EXPECT_FALSE(rig.program->state().mouseReportsHeldBack) << row.name;
  }
}

TEST_F(ServicesEndToEnd, BinaryTransferFaultsEndItCleanly) {
  const struct {
    const char* name;
    bool unplug;          // the port goes away while the PC waits
    const char* printed;  // after the name, on the screen
  } rows[] = {
      {"device never acknowledges", false, "TimeOut Error"},
      {"port closed mid-transfer", true, "COM port lost"},
  };
  for (const auto& row : rows) {
    WindowRig rig({"ComNr=7", "MsMoveOff=0"});
    const fs::path file = rig.folder / "f.bin";
    std::ofstream(file, std::ios::binary) << Pattern(100);
    sim::DeviceClient client({{'f', file.string(), "", 0}},
                             sim::Acknowledge::kNever);
    HeldDevice held(client);
    sim::PtyServer server(held);
    ASSERT_TRUE(Start(rig, server, false)) << row.name;
    rig.clock.onSleep = [&](int) {
      if (row.unplug) server.Stop();
    };
    held.Release();
    EXPECT_TRUE(rig.SpinUntil([&] { return !rig.clock.sleeps.empty(); }))
        << row.name;
    rig.Spin(100);
    server.Stop();
    EXPECT_EQ(client.Results().at(0).Length, 100u) << row.name;
    EXPECT_TRUE(client.Results().at(0).Received.empty()) << row.name;
    const std::string& screen = rig.program->screen().ScreenText;
    EXPECT_EQ(screen.substr(0, screen.find('\r')), file.string() + row.printed)
        << row.name;
    EXPECT_EQ(rig.clock.TotalSleptMs() >= 1990, !row.unplug) << row.name;
    EXPECT_FALSE(rig.program->state().mouseReportsHeldBack) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
