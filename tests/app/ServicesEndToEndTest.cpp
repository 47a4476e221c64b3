// The device's file services from the real window over a pseudo-terminal.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "app/WindowRig.h"
#include "sim/DeviceClient.h"
#include "sim/PtyServer.h"

namespace kestrix::test {
namespace {

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

// A file sent to the device in acknowledged blocks, through the window's real
// port and loop; what each request does in detail is the services suite's.
TEST_F(ServicesEndToEnd, DeviceGetsTheFileItAskedFor) {
  WindowRig rig({"ComNr=7", "MsMoveOff=0"});
  rig.clock.onSleep = [](int ms) {  // the device answers in real time
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
  };
  std::string bytes(1000, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = char(i * 29 + 11);
  sim::DeviceClient client(
      {{'f', rig.temp.Write("device file.dat", bytes).string(), "", 0}});
  HeldDevice held(client);
  sim::PtyServer server(held);
  ASSERT_TRUE(server.Start(rig.folder.string(), 7));
  rig.Start();
  held.Release();
  EXPECT_TRUE(rig.SpinUntil([&] {
    return server.Inspect([&](auto&) { return client.Finished(); });
  }));
  server.Stop();
  EXPECT_TRUE(client.ReceivedExactly(0, bytes));
}

}  // namespace
}  // namespace kestrix::test
