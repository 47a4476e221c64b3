#include "loader/UploadDriver.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "loader/Banner.h"
#include "loader/BootProtocol.h"
#include "loader/PulseReset.h"

namespace kestrix {

namespace {

constexpr char kEepromMarker[] = ".eeprom";
constexpr std::uint32_t kShutdownCommand = BootProtocol::kCommandShutdown;

enum class FileResult { kRead, kMissing, kTooLong };

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Fills the image from the file, four bytes per long, first byte least
// significant; a short last group keeps zero bytes because the image is
// cleared first. Reads one byte past the limit to tell a full-size image
// from a longer file without trusting a size taken before the read.
FileResult ReadImageFile(const std::string& path, LoaderImage& image,
                         int& longs) {
  image.fill(0);
  longs = 0;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return FileResult::kMissing;
  std::vector<std::uint8_t> bytes(kMaxUploadBytes + 1);
  const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), file.get());
  // A folder opens but cannot be read: it is no file to upload.
  if (std::ferror(file.get())) return FileResult::kMissing;
  if (n > static_cast<std::size_t>(kMaxUploadBytes))
    return FileResult::kTooLong;
  for (std::size_t i = 0; i < n; ++i) {
    image[i / 4] |= std::uint32_t{bytes[i]} << (8 * (i % 4));
  }
  longs = static_cast<int>((n + 3) / 4);
  return FileResult::kRead;
}

}  // namespace

int EepromModeFor(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  return path.find(kEepromMarker, nameStart) != std::string::npos ? 1 : 0;
}

UploadOutcome UploadFile(const std::string& path, UploadEnvironment& env) {
  const int eepromMode = EepromModeFor(path);
  if (!env.port.IsOpen()) {
    env.host.MessageBox("No COM", "wrong number or not activated");
    return UploadOutcome::kNoPort;
  }
  PulseReset(env.port, env.clock, env.settings.UseRTS);
  env.output.ClearScreen();
  if (eepromMode != 0) {
    ShowBanner(env.output, env.logo, env.settings, env.clock);
  }
  env.output.PrintLine("Start Upload");

  int longs = 0;
  switch (ReadImageFile(path, env.image, longs)) {
    case FileResult::kMissing:
      env.output.PrintLine("No such file");
      env.port.PurgeReceive();
      return UploadOutcome::kFileRefused;
    case FileResult::kTooLong:
      // Anything past 32 KiB would run over the hub RAM; sending the first
      // part would boot a truncated program.
      env.output.PrintLine("File too long for a Propeller 1 image");
      env.port.PurgeReceive();
      return UploadOutcome::kFileRefused;
    case FileResult::kRead:
      break;
  }

  PulseReset(env.port, env.clock, env.settings.UseRTS);
  BootProtocol protocol(env.port, env.clock, env.output);
  const int version = protocol.Handshake();
  if (version < 1) {
    env.output.PrintText("Code Error -> Abort");
    // Leave whatever answered in a known state.
    protocol.SendLong(kShutdownCommand);
    protocol.FlushTx();
    return UploadOutcome::kNoChip;
  }
  const bool confirmed = protocol.Download(longs * 4, env.image, eepromMode);
  env.port.PurgeReceive();
  return confirmed ? UploadOutcome::kRunning : UploadOutcome::kChipError;
}

}  // namespace kestrix
