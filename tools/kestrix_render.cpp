// kestrix-render: decodes a device byte stream headlessly and writes the
// screen image. Port writes (immediate answers, pixel-query replies) are
// listed on standard error as hex lines; the printed text goes to standard
// output unchanged.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "ImageFile.h"
#include "core/BytePort.h"
#include "core/SharedBlocks.h"
#include "core/SystemClock.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/Engine.h"
#include "terminal/RequestHandler.h"
#include "terminal/TerminalScreen.h"

namespace {

using kestrix::BytePort;

// The device side of the stream: reads serve the input file, so a command
// cut off at a chunk's end is completed from the rest of the stream, as it
// would be from the port's queue. Writes are listed on standard error.
class StreamPort : public BytePort {
 public:
  explicit StreamPort(std::vector<std::uint8_t> data)
      : data_(std::move(data)) {}
  std::size_t Remaining() const { return data_.size() - at_; }

  bool IsOpen() const override { return true; }
  int Write(const std::uint8_t* data, int count) override {
    std::string line;
    for (int i = 0; i < count; ++i) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%02X", data[i]);
      if (i > 0) line.push_back(' ');
      line += hex;
    }
    std::cerr << line << '\n';
    return count;
  }
  int Read(std::uint8_t* data, int max) override {
    const std::size_t n =
        std::min<std::size_t>(static_cast<std::size_t>(max), Remaining());
    std::memcpy(data, data_.data() + at_, n);
    at_ += n;
    return static_cast<int>(n);
  }
  void PurgeReceive() override {}
  void SetDtr(bool) override {}
  void SetRts(bool) override {}

 private:
  std::vector<std::uint8_t> data_;
  std::size_t at_ = 0;
};

class NoWindow : public kestrix::Presenter {
 public:
  void PresentScreen(const kestrix::Raster&) override {}
};

constexpr char kUsage[] =
    "usage: kestrix-render [--mode=device|normal] [--cols=N] [--rows=N] "
    "[--chunk=N] [--crmode] [--prepared=FILE] INPUT OUTPUT\n";

constexpr char kHelp[] =
    "\n"
    "Decodes the byte stream in INPUT as the Kestrix window would and writes\n"
    "the whole screen image to OUTPUT (.png, or .ppm). The recorded screen\n"
    "text goes to standard output; each answer the window would send (hex\n"
    "bytes), a pending lettered request (\"request X\") and the pixel-query\n"
    "reply go to standard error.\n"
    "\n"
    "  --mode=device|normal  the device display (cursor addressing) or\n"
    "                        normal-terminal mode (default)\n"
    "  --cols=N, --rows=N    the grid, 1 to 512 columns, 1 to 256 rows\n"
    "                        (default 80 by 25)\n"
    "  --chunk=N             bytes per read, as the window reads the port\n"
    "                        (1 to 1024, default 1024)\n"
    "  --crmode              CR with Auto-LF (normal-terminal mode)\n"
    "  --prepared=FILE       the prepared file that block requests read\n"
    "  -h, --help            this text\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 bad\n"
    "arguments.\n";

bool ParseInt(const std::string& text, int lo, int hi, int* out) {
  try {
    std::size_t used = 0;
    const int v = std::stoi(text, &used);
    if (used != text.size() || v < lo || v > hi) return false;
    *out = v;
    return true;
  } catch (...) {
    return false;
  }
}

constexpr char kRequestLetters[] = "betifaos";

// Lettered requests are only named on standard error; nothing is carried out.
class RequestLister : public kestrix::RequestHandler {
 public:
  void CarryOut(int request) override {
    if (request % 2 == 0 &&
        std::strchr(kRequestLetters, request / 2) != nullptr) {
      std::cerr << "request " << static_cast<char>(request / 2) << '\n';
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  int cols = 80, rows = 25, chunk = kestrix::SharedBlocks::kMaxChunk;
  bool device = false, crmode = false;
  std::string prepared;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* prefix) -> const char* {
      const std::size_t n = std::strlen(prefix);
      return a.compare(0, n, prefix) == 0 ? argv[i] + n : nullptr;
    };
    bool ok = true;
    if (a == "--help" || a == "-h") {
      std::cout << kUsage << kHelp;
      return 0;
    }
    if (const char* v = value("--mode=")) {
      ok = std::strcmp(v, "device") == 0 || std::strcmp(v, "normal") == 0;
      device = std::strcmp(v, "device") == 0;
    } else if (const char* c = value("--cols=")) {
      ok = ParseInt(c, 1, 512, &cols);
    } else if (const char* r = value("--rows=")) {
      ok = ParseInt(r, 1, 256, &rows);
    } else if (const char* n = value("--chunk=")) {
      ok = ParseInt(n, 1, kestrix::SharedBlocks::kMaxChunk, &chunk);
    } else if (a == "--crmode") {
      crmode = true;
    } else if (const char* p = value("--prepared=")) {
      prepared = p;
    } else if (a.size() > 1 && a[0] == '-' && a != "-") {
      ok = false;
    } else {
      files.push_back(a);
    }
    if (!ok) {
      std::cerr << "kestrix-render: bad option " << a << '\n' << kUsage;
      return 2;
    }
  }
  if (files.size() != 2) {
    std::cerr << kUsage;
    return 2;
  }

  std::ifstream in(files[0], std::ios::binary);
  if (!in) {
    std::cerr << "kestrix-render: cannot read " << files[0] << '\n';
    return 1;
  }
  std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());

  auto [images, error] = kestrix::LoadEmbeddedImages();
  if (!images) {
    std::cerr << "kestrix-render: " << error << '\n';
    return 1;
  }

  kestrix::DecoderOptions options;
  options.NormalTerminalFlag = device ? 0 : 1;
  options.CRmode = crmode ? 1 : 0;
  StreamPort port(std::move(input));
  kestrix::SystemClock clock;
  NoWindow window;
  RequestLister requests;
  kestrix::Engine engine(images->glyphSheet, port, clock);
  const kestrix::TerminalScreen& screen = engine.screen();
  kestrix::CreateScreenImage(engine.screen(), cols, rows, /*withStrip=*/true);
  engine.SetOptions(options);
  engine.SetPresenter(&window);
  engine.SetPreparedFile(prepared);
  engine.ClearScreen();

  // One serial poll of the event loop per chunk.
  while (port.Remaining() > 0) engine.Poll(requests, chunk);

  std::cout.write(screen.ScreenText.data(),
                  static_cast<std::streamsize>(screen.ScreenText.size()));
  std::cout.flush();
  if (!kestrix::tools::WriteImageFile(screen.image, files[1])) {
    std::cerr << "kestrix-render: cannot write " << files[1] << '\n';
    return 1;
  }
  return 0;
}
