// The Propeller 2 monitor load (64 KB object file) and a 1 MB binary transfer
// to a device that acknowledges at once, each against a simulated device
// served on a thread behind a pseudo-terminal. The program's side runs on a
// plain pty port (write and read system calls only) and, when Qt is built,
// on the program's own serial port driver. Reports characters on the wire
// per file byte, wall time, time per character or block, and how much of it
// the program spends outside the port's write and read calls.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "core/Host.h"
#include "core/SharedBlocks.h"
#include "core/SystemClock.h"
#include "core/TextOutput.h"
#include "loader/MonitorLoader.h"
#include "services/BinaryFileSender.h"
#include "sim/DeviceClient.h"
#include "sim/P2Monitor.h"
#ifdef KESTRIX_BENCH_COMPORT
#include <QCoreApplication>

#include "serial/ComPort.h"
#endif

namespace kestrix {
namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

double Us(Steady::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

// Serves a device on the master side of a pty. Replies that the program does
// not read stay in the device (bounded), never in a blocking write.
class PtyServer {
 public:
  explicit PtyServer(sim::WireDevice& device) : device_(device) {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
    termios raw{};
    ::tcgetattr(slave_, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave_, TCSANOW, &raw);
    ::fcntl(master_, F_SETFL, O_NONBLOCK);
    ::fcntl(slave_, F_SETFL, O_NONBLOCK);
    slaveName_ = name;
    thread_ = std::thread([this] { Serve(); });
  }
  ~PtyServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
  }
  bool ok() const { return !slaveName_.empty(); }
  int slave() const { return slave_; }
  const std::string& slaveName() const { return slaveName_; }

 private:
  void Serve() {
    std::uint8_t buffer[4096];
    std::string pending;
    while (!stop_) {
      pollfd fd{master_, POLLIN, 0};
      ::poll(&fd, 1, 2);
      const auto n = ::read(master_, buffer, sizeof buffer);
      const auto nowMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                             Steady::now().time_since_epoch())
                             .count();
      device_.OnHostBytes(buffer, n > 0 ? static_cast<int>(n) : 0, nowMs);
      if (pending.empty()) {
        const int got = device_.TakeReplies(buffer, sizeof buffer);
        pending.assign(reinterpret_cast<char*>(buffer), got);
      }
      const auto wrote = ::write(master_, pending.data(), pending.size());
      if (wrote > 0) pending.erase(0, static_cast<std::size_t>(wrote));
    }
  }

  sim::WireDevice& device_;
  int master_ = -1;
  int slave_ = -1;
  std::string slaveName_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// The slave side as a port: one system call per write or read.
class RawPtyPort : public BytePort {
 public:
  explicit RawPtyPort(int fd) : fd_(fd) {}
  bool IsOpen() const override { return true; }
  int Write(const std::uint8_t* data, int count) override {
    int done = 0;
    while (done < count) {
      const auto n = ::write(fd_, data + done, count - done);
      if (n > 0) {
        done += static_cast<int>(n);
      } else {
        pollfd fd{fd_, POLLOUT, 0};
        ::poll(&fd, 1, 10);
      }
    }
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    const auto n = ::read(fd_, data, max);
    return n > 0 ? static_cast<int>(n) : 0;
  }
  void PurgeReceive() override { ::tcflush(fd_, TCIFLUSH); }
  void SetDtr(bool) override {}
  void SetRts(bool) override {}

 private:
  int fd_;
};

// Times the port's own calls, and the program's step from a go-ahead read
// to the end of the next block's write.
class TimedPort : public BytePort {
 public:
  explicit TimedPort(BytePort& inner) : inner_(inner) {}
  Steady::duration inPort{};
  Steady::duration answerToBlock{};
  Steady::duration answerToWrite{};
  std::int64_t characters = 0, writes = 0;

  bool IsOpen() const override { return inner_.IsOpen(); }
  int Write(const std::uint8_t* data, int count) override {
    const auto start = Steady::now();
    const int n = inner_.Write(data, count);
    const auto end = Steady::now();
    inPort += end - start;
    if (answered_) answerToWrite += start - *answered_;
    if (answered_) answerToBlock += end - *answered_;
    answered_.reset();
    characters += count;
    ++writes;
    return n;
  }
  int Read(std::uint8_t* data, int max) override {
    const auto start = Steady::now();
    const int n = inner_.Read(data, max);
    const auto end = Steady::now();
    inPort += end - start;
    if (n > 0) answered_ = end;
    return n;
  }
  void PurgeReceive() override { inner_.PurgeReceive(); }
  void SetDtr(bool) override {}
  void SetRts(bool) override {}

 private:
  BytePort& inner_;
  std::optional<Steady::time_point> answered_;
};

class NoOutput : public TextOutput {
 public:
  std::string printed;
  void PrintText(std::string_view text) override { printed += text; }
  void PrintLine(std::string_view text) override { printed += text; }
  std::string_view LineFeed() const override { return "\n"; }
  bool HasScreen() const override { return false; }
  void ClearScreen() override {}
  void ShowPicture(const Raster&, int) override {}
};

fs::path WriteFile(const char* name, int bytes) {
  const fs::path path = fs::temp_directory_path() /
                        (std::string(name) + std::to_string(::getpid()));
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(i * 13 + 7));
  return path;
}

// Runs `body` with the program's port on the pty: plain, or the real driver.
template <typename Body>
void WithPort(benchmark::State& state, PtyServer& server, bool driver,
              Body body) {
  if (!server.ok()) return state.SkipWithError("no pseudo-terminal");
  if (!driver) {
    RawPtyPort port(server.slave());
    return body(port);
  }
#ifdef KESTRIX_BENCH_COMPORT
  const fs::path folder = fs::temp_directory_path() /
                          ("kestrix-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::error_code ignored;
  fs::remove(folder / "COM7", ignored);
  fs::create_symlink(server.slaveName(), folder / "COM7");
  ComPort port(folder);
  if (!port.OpenPort("7", 0, 0)) return state.SkipWithError("no port");
  body(port);
  port.ClosePort();
  fs::remove_all(folder, ignored);
#else
  state.SkipWithError("built without the serial driver");
#endif
}

void MonitorLoad64K(benchmark::State& state) {
  constexpr int kBytes = 64 * 1024;
  const fs::path file = WriteFile("kestrix-bench-obj-", kBytes);
  for (auto _ : state) {
    sim::P2Monitor monitor;
    PtyServer server(monitor);
    WithPort(state, server, state.range(0) != 0, [&](BytePort& inner) {
      TimedPort port(inner);
      SystemClock clock;
      NullHost host;
      SharedBlocks blocks;
      NoOutput output;
      const TransferContext context{port, clock, output, host, blocks};
      const auto start = Steady::now();
      MonitorLoad(file, 0xE80, context);
      const double wallUs = Us(Steady::now() - start);
      const auto chars = static_cast<double>(port.characters);
      state.counters["chars_per_file_byte"] = chars / kBytes;
      state.counters["wall_ms"] = wallUs / 1000;
      state.counters["us_per_char"] = wallUs / chars;
      state.counters["own_us_per_char"] = (wallUs - Us(port.inPort)) / chars;
      state.counters["line_Mbaud_equiv"] = chars * 10 / wallUs;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (monitor.BytesLoaded() != kBytes || monitor.StartAddress() != 0xE80u ||
        monitor.Errors() != 0) {
      state.SkipWithError("the monitor did not receive the file intact");
    }
  }
  fs::remove(file);
}

void BinaryTransfer1M(benchmark::State& state) {
  constexpr int kBytes = 1024 * 1024;
  constexpr double kBlocks = kBytes / 16;
  const fs::path file = WriteFile("kestrix-bench-bin-", kBytes);
  std::string expected;
  {
    std::ifstream in(file, std::ios::binary);
    expected.assign(std::istreambuf_iterator<char>(in), {});
  }
  for (auto _ : state) {
    sim::DeviceClient client({{'f', "x", "", 0}});
    PtyServer server(client);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    WithPort(state, server, state.range(0) != 0, [&](BytePort& inner) {
      TimedPort port(inner);
      SystemClock clock;
      NullHost host;
      NoOutput output;
      SharedBlocks blocks;
      const TransferContext context{port, clock, output, host, blocks};
      const auto start = Steady::now();
      SendBinaryFile(file.string(), "", context);
      const double wallUs = Us(Steady::now() - start);
      state.counters["bytes_per_s"] = kBytes / (wallUs / 1e6);
      state.counters["wall_ms"] = wallUs / 1000;
      state.counters["us_per_block"] = wallUs / kBlocks;
      // From the go-ahead read to the end of the block's write, and without
      // the write call itself.
      state.counters["own_us_per_block"] = Us(port.answerToBlock) / kBlocks;
      state.counters["own_us_before_write"] = Us(port.answerToWrite) / kBlocks;
      if (!output.printed.empty()) state.SkipWithError(output.printed.c_str());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    if (!client.ReceivedExactly(0, expected)) {
      state.SkipWithError("the device did not receive the file intact");
    }
  }
  fs::remove(file);
}

BENCHMARK(MonitorLoad64K)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BinaryTransfer1M)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrix

int main(int argc, char** argv) {
#ifdef KESTRIX_BENCH_COMPORT
  QCoreApplication app(argc, argv);
#endif
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
