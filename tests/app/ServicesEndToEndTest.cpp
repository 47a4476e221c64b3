// The device's file services from the real window over a pseudo-terminal.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "app/WindowRig.h"
#include "sim/DeviceClient.h"
#include "sim/PtyServer.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

std::string Pattern(std::size_t count) {
  std::string bytes(count, '\0');
  for (std::size_t i = 0; i < count; ++i) bytes[i] = char(i * 29 + 11);
  return bytes;
}

// Holds back the device's output until the window is ready; afterwards the
// device answers at once.
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

class ServicesEndToEnd : public WindowTest {};

// Reading, writing and launching through the window's real host and port;
// what each request does in detail is the services suite's.
TEST_F(ServicesEndToEnd, DeviceRequestsGetWhatTheyAskFor) {
  const struct {
    const char* name;
    char letter;
    std::string pcFile;        // the PC's file before the request
    std::string printed = {};  // "s": what the device prints as content
  } rows[] = {
      {"f sends the file byte for byte", 'f', Pattern(1000)},
      {"s writes the printed text over an old file", 's', "an older file\r\n",
       "Saved."},
      {"i launches the name unchanged", 'i', ""},
  };
  for (const auto& row : rows) {
    WindowRig rig({"ComNr=7", "MsMoveOff=0"});
    rig.clock.onSleep = [](int ms) {  // the device answers in real time
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    const fs::path file = rig.folder / "device file.dat";
    std::ofstream(file, std::ios::binary) << row.pcFile;
    sim::DeviceClient client(
        {{row.letter, row.letter == 'i' ? "My Doc; rm x" : file.string(),
          row.printed, 0}});
    HeldDevice held(client);
    sim::PtyServer server(held);
    ASSERT_TRUE(server.Start(rig.folder.string(), 7)) << row.name;
    rig.Start();
    held.Release();
    const auto pcFile = [&] {
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
    if (row.letter == 'f') {
      EXPECT_TRUE(client.ReceivedExactly(0, row.pcFile)) << row.name;
    }
    EXPECT_EQ(pcFile(), row.letter == 's' ? row.printed : row.pcFile)
        << row.name;
    EXPECT_EQ(launched(), row.letter == 'i' ? 1 : 0) << row.name;
  }
}

// The port pulled while the PC waits for the device's go-ahead.
TEST_F(ServicesEndToEnd, PortClosedMidTransferEndsItCleanly) {
  WindowRig rig({"ComNr=7", "MsMoveOff=0"});
  const fs::path file = rig.folder / "f.bin";
  std::ofstream(file, std::ios::binary) << Pattern(100);
  sim::DeviceClient client({{'f', file.string(), "", 0}},
                           sim::Acknowledge::kNever);
  HeldDevice held(client);
  sim::PtyServer server(held);
  ASSERT_TRUE(server.Start(rig.folder.string(), 7));
  rig.Start();
  rig.clock.onSleep = [&](int) { server.Stop(); };
  held.Release();
  EXPECT_TRUE(rig.SpinUntil([&] { return !rig.clock.sleeps.empty(); }));
  rig.Spin(100);
  EXPECT_EQ(client.Results().at(0).length, 100u);
  EXPECT_TRUE(client.Results().at(0).received.empty());
  const std::string& screen = rig.program->screen().ScreenText;
  EXPECT_EQ(screen.substr(0, screen.find('\r')),
            file.string() + "COM port lost");
  EXPECT_LT(rig.clock.TotalSleptMs(), 1990);
  EXPECT_FALSE(rig.program->state().mouseReportsHeldBack);
}

}  // namespace
}  // namespace kestrix::test
