#include "loader/UploadDriver.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "loader/Banner.h"
#include "loader/BootProtocol.h"
#include "loader/FileNames.h"
#include "loader/PulseReset.h"
#include "loader/RegularFile.h"
#include "loader/PumpingClock.h"

namespace kestrix {

namespace {

constexpr char kEepromMarker[] = ".eeprom";
constexpr std::uint32_t kShutdownCommand = BootProtocol::kCommandShutdown;

enum class FileResult { kRead, kMissing, kTooLong };

// How reading the image went, and how many longs it filled.
struct ImageRead {
  FileResult result = FileResult::kMissing;
  int longs = 0;
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Fills the image from the file, four bytes per long, first byte least
// significant; a short last group keeps zero bytes because the image is
// cleared first. Reads one byte past the limit to tell a full-size image
// from a longer file without trusting a size taken before the read.
ImageRead ReadImageFile(const std::string& path, LoaderImage& image) {
  image.fill(0);
  if (!IsRegularFile(path)) return {FileResult::kMissing};
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return {FileResult::kMissing};
  std::vector<std::uint8_t> bytes(kMaxUploadBytes + 1);
  const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), file.get());
  if (std::ferror(file.get())) return {FileResult::kMissing};
  if (n > static_cast<std::size_t>(kMaxUploadBytes)) {
    return {FileResult::kTooLong};
  }
  for (std::size_t i = 0; i < n; ++i) {
    image[i / 4] |= std::uint32_t{bytes[i]} << (8 * (i % 4));
  }
  return {FileResult::kRead, static_cast<int>((n + 3) / 4)};
}

}  // namespace

int EepromModeFor(const std::string& path) {
  return path.find(kEepromMarker, FileNameStart(path)) != std::string::npos ? 1
                                                                            : 0;
}

UploadOutcome UploadFile(const std::string& path, const TransferContext& context,
                         bool useRts, LoaderImage& image, const Raster& logo) {
  const int eepromMode = EepromModeFor(path);
  BytePort& port = context.port;
  TextOutput& output = context.output;
  if (!port.IsOpen()) {
    context.host.MessageBox(
        "No COM",
        "wrong number or not activated\n\nThe port is not open: choose a "
        "port with Options > Com-Port (or the number after -L).");
    return UploadOutcome::kNoPort;
  }
  PumpingClock clock(context.clock, context.host);
  PulseReset(port, clock, useRts);
  output.ClearScreen();
  if (eepromMode != 0) ShowBanner(output, logo, clock);
  output.PrintLine("Start Upload");

  const ImageRead read = ReadImageFile(path, image);
  switch (read.result) {
    case FileResult::kMissing:
      output.PrintLine("No such file");
      port.PurgeReceive();
      return UploadOutcome::kFileRefused;
    case FileResult::kTooLong:
      // Anything past 32 KiB would run over the hub RAM; sending the first
      // part would boot a truncated program.
      output.PrintLine("File too long for a Propeller 1 image");
      port.PurgeReceive();
      return UploadOutcome::kFileRefused;
    case FileResult::kRead:
      break;
  }

  PulseReset(port, clock, useRts);
  BootProtocol protocol(port, clock, output);
  const int version = protocol.Handshake();
  if (protocol.PortLost()) return UploadOutcome::kPortLost;
  if (version < 1) {
    output.PrintText("Code Error -> Abort");
    // Leave whatever answered in a known state.
    protocol.SendLong(kShutdownCommand);
    protocol.FlushTx();
    return UploadOutcome::kNoChip;
  }
  const bool confirmed = protocol.Download(read.longs * 4, image, eepromMode);
  if (protocol.PortLost()) return UploadOutcome::kPortLost;
  port.PurgeReceive();
  return confirmed ? UploadOutcome::kRunning : UploadOutcome::kChipError;
}

}  // namespace kestrix
