// Uploads to a simulated chip behind a pseudo-terminal through the real port
// driver, and the search of all 63 port numbers with none present. Reports
// the bytes sent, the time the host itself adds on top of the waits the boot
// protocol prescribes, and that overhead as a share of the time the same
// bytes take on a 115200-baud line.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "core/Host.h"
#include "core/SharedBlocks.h"
#include "core/SystemClock.h"
#include "core/TextOutput.h"
#include "loader/LoaderImage.h"
#include "loader/PortSearch.h"
#include "loader/UploadDriver.h"
#include "serial/ComPort.h"
#include "sim/PtyPropeller.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/Engine.h"
#include "terminal/TerminalScreen.h"

namespace kestrix {
namespace {

namespace fs = std::filesystem;

// A start bit, eight data bits, two stop bits.
constexpr double kBitsPerByte = 11.0;
constexpr double kBaud = 115200.0;

// The protocol's own byte counts: calibration, 250 host bits and 258 clocks;
// command and length longs; 11 bytes a long.
constexpr std::int64_t kHandshakeBytes = 1 + 250 + 258;
constexpr std::int64_t kHeaderBytes = 2 * 11;
constexpr std::int64_t kBytesPerLong = 11;
// Clock bytes for the status replies of a chip that answers at once: each
// reply is read one pass after the pass that fetched it, and a clock goes
// out on every pass. RAM: checksum (2 passes). EEPROM: checksum (2), then
// programming (2), whose clocks already fetched the verification reply, read
// on the first pass (1).
constexpr std::int64_t kRamStatusClocks = 2;
constexpr std::int64_t kEepromStatusClocks = 5;

// Sleeps for real and adds up what was asked for: the waits the protocol
// prescribes.
class CountingClock : public Clock {
 public:
  LocalDateTime Now() override { return inner_.Now(); }
  void SleepMs(int ms) override {
    prescribedMs += ms;
    inner_.SleepMs(ms);
  }
  std::int64_t MonotonicMs() override { return inner_.MonotonicMs(); }
  std::int64_t prescribedMs = 0;

 private:
  SystemClock inner_;
};

// Counts the bytes the port took.
class CountingPort : public BytePort {
 public:
  explicit CountingPort(BytePort& inner) : inner_(inner) {}
  bool IsOpen() const override { return inner_.IsOpen(); }
  int Write(const std::uint8_t* data, int count) override {
    const int n = inner_.Write(data, count);
    if (n > 0) written += n;
    return n;
  }
  int Read(std::uint8_t* data, int max) override {
    return inner_.Read(data, max);
  }
  void PurgeReceive() override { inner_.PurgeReceive(); }
  void SetDtr(bool on) override { inner_.SetDtr(on); }
  void SetRts(bool on) override { inner_.SetRts(on); }
  std::int64_t written = 0;

 private:
  BytePort& inner_;
};

// The port search prints nothing; it still needs somewhere to print.
class NullOutput : public TextOutput {
 public:
  void PrintText(std::string_view) override {}
  void PrintLine(std::string_view) override {}
  std::string_view LineFeed() const override { return "\n"; }
  bool HasScreen() const override { return false; }
  void ClearScreen() override {}
  void ShowPicture(const Raster&, int) override {}
};

class LastLineConsole : public Console {
 public:
  void WriteLine(const std::string& text) override {
    if (text != "\n") last = text;
  }
  std::string last;
};

fs::path MakeFolder() {
  std::string pattern =
      (fs::temp_directory_path() / "kestrix-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return {};
  return pattern;
}

void Upload(benchmark::State& state, const char* name, int bytes,
            std::int64_t statusClocks) {
  const fs::path folder = MakeFolder();
  auto images = LoadEmbeddedImages().images;
  sim::PtyPropeller chip;
  if (folder.empty() || !images || !chip.Start(folder.string(), 6)) {
    state.SkipWithError("no pseudo-terminal or images");
    return;
  }
  const std::string path = (folder / name).string();
  {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>(i * 7 + 3));
  }
  const bool eeprom = EepromModeFor(path) != 0;
  const std::int64_t longs = eeprom ? 8192 : (bytes + 3) / 4;
  const std::int64_t expectedBytes =
      kHandshakeBytes + kHeaderBytes + kBytesPerLong * longs + statusClocks;

  double wallMs = 0;
  double waitMs = 0;
  std::int64_t wireBytes = 0;
  int runs = 0;
  for (auto _ : state) {
    ComPort serial(folder);
    serial.OpenPort("6", 0, 0);
    CountingPort port(serial);
    CountingClock clock;
    Engine engine(images->glyphSheet, port, clock);
    LastLineConsole console;
    engine.SetConsole(&console);
    NullHost host;
    auto image = std::make_unique<LoaderImage>();
    const TransferContext context{port, clock, engine, host, engine.blocks()};

    const auto start = std::chrono::steady_clock::now();
    UploadFile(path, context, /*useRts=*/false, *image, images->logo);
    const auto end = std::chrono::steady_clock::now();
    serial.ClosePort();

    if (console.last != "..OK -> RUN\r") {
      state.SkipWithError(("upload failed: " + console.last).c_str());
      break;
    }
    wallMs += std::chrono::duration<double, std::milli>(end - start).count();
    waitMs += static_cast<double>(clock.prescribedMs);
    wireBytes = port.written;
    ++runs;
    chip.WaitBetweenSessions(3000);
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  if (runs == 0) return;
  if (wireBytes != expectedBytes) {
    state.SkipWithError("bytes on the wire differ from the protocol's count");
  }
  const double wireMs =
      static_cast<double>(wireBytes) * kBitsPerByte / kBaud * 1000.0;
  const double overheadMs = (wallMs - waitMs) / runs;
  state.counters["wire_bytes"] = static_cast<double>(wireBytes);
  state.counters["expected_bytes"] = static_cast<double>(expectedBytes);
  state.counters["wall_ms"] = wallMs / runs;
  state.counters["waits_ms"] = waitMs / runs;
  state.counters["overhead_ms"] = overheadMs;
  state.counters["wire_ms_115200"] = wireMs;
  state.counters["overhead_pct"] = 100.0 * overheadMs / wireMs;
}

void BmUploadEeprom32K(benchmark::State& state) {
  Upload(state, "image.eeprom", 32768, kEepromStatusClocks);
}
void BmUploadRam8K(benchmark::State& state) {
  Upload(state, "image.binary", 8192, kRamStatusClocks);
}

// All 63 numbers named by links to nowhere, so no device exists whatever the
// machine's own ports are.
void BmSearchNoChip(benchmark::State& state) {
  const fs::path folder = MakeFolder();
  for (int n = kFirstSearchedPort; n <= kLastSearchedPort; ++n) {
    std::error_code ignored;
    fs::create_symlink("/nonexistent/kestrix-no-port",
                       folder / ("COM" + std::to_string(n)), ignored);
  }
  for (auto _ : state) {
    ComPort port(folder);
    SystemClock clock;
    SharedBlocks blocks;
    NullHost host;
    NullOutput output;
    if (ScanPorts(port, {port, clock, output, host, blocks}, false, false) != 0)
      state.SkipWithError("found a chip");
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}

BENCHMARK(BmUploadEeprom32K)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BmUploadRam8K)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BmSearchNoChip)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrix

int main(int argc, char** argv) {
  // The port driver runs on QSerialPort, which wants an application object.
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
