#pragma once

// Decoding a stream in one piece and in any chunking of it must agree: the
// same picture, cursor and text, and the same immediate answers in order.
// A few results belong to the chunk, and its boundaries say what it gives:
//  - the reply byte answers the last pixel query decoded in the chunk;
//  - the lettered request is the last one of the chunk (a matching one for
//    letter 0 withdraws the earlier ones), its argument the text at the end;
//  - a file block answered in the chunk brings mouse reports back once.
// Decoding in single bytes shows each command's own result; the rest is
// derived from it. A normal-terminal command cut off at the very end of the
// stream takes stale parameters from the out block, so that tail is dropped.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "support/FakePort.h"
#include "support/VirtualClock.h"
#include "terminal/Engine.h"

namespace kestrix::test {

struct StreamSetup {
  bool deviceMode = true, cursor = true, crMode = false;
  int cols = 80, rows = 25;
  bool strip = true;
  std::string preparedFile;
};

// One decoding through the serial poll, a chunk at a time; the whole stream
// waits on the port, so a cut-off normal-terminal command reads from there.
class StreamRun : Presenter, RequestHandler {
 public:
  struct Chunk {
    std::size_t end = 0;  // stream bytes taken when the chunk was done
    std::vector<std::vector<std::uint8_t>> writes;
    ChunkResult result;
    std::size_t textLength = 0;
    std::string text, previous;  // kept on a request or when asked
  };

  explicit StreamRun(const Raster& sheet) : engine_(sheet, port_, clock_) {
    clock_.now = {2026, 1, 31, 9, 5, 3};
    engine_.SetPresenter(this);
  }

  // Starts over as a fresh engine would (fuzzing reuses the engine, whose
  // glyph table is slow to build under the sanitizers).
  void Start(const StreamSetup& setup, std::span<const std::uint8_t> stream) {
    DecoderOptions options;
    options.NormalTerminalFlag = 0;
    engine_.SetOptions(options);
    CreateScreenImage(engine_.screen(), 1, 1, false);  // quick to clear
    // Ends a cut-off command, pen to (0, 0), colour 0, both texts emptied.
    static constexpr std::uint8_t kReset[] = {2, 2, 2, 5, 0, 0, 0, 12, 0, 0, 0};
    engine_.Decode(kReset);
    options.NormalTerminalFlag = setup.deviceMode ? 0 : 1;
    options.TxtCurs = setup.cursor ? 1 : 0;
    options.CRmode = setup.crMode ? 1 : 0;
    engine_.SetOptions(options);
    engine_.SetPreparedFile(setup.preparedFile);
    CreateScreenImage(engine_.screen(), setup.cols, setup.rows, setup.strip);
    stream_ = stream;
    port_.left = stream;
    port_.writes.clear();
    port_.reads = 0;
    chunks.clear();
  }

  // Polls with the sizes `nextSize` gives until the stream is taken.
  void Run(const std::function<int()>& nextSize,
           const std::function<bool(std::size_t)>& keepText = nullptr) {
    while (!port_.left.empty()) {
      Chunk c;
      const std::size_t before = port_.writes.size();
      c.result = engine_.Poll(*this, std::max(nextSize(), 1));
      c.end = stream_.size() - port_.left.size();
      c.writes.assign(port_.writes.begin() + before, port_.writes.end());
      c.textLength = screen().ScreenText.size();
      if (c.result.ServiceRequest > 0 || (keepText && keepText(c.end))) {
        c.text = screen().ScreenText;
        c.previous = screen().PreviousText;
      }
      chunks.push_back(std::move(c));
    }
  }
  // Frees what the run allocated, so that each fuzz input's allocations are
  // freed by its end (libFuzzer re-runs an input under a leak check
  // whenever they are not); the lists keep their room for the next input.
  void Release() {
    chunks.clear();
    port_.writes.clear();
  }
  const TerminalScreen& screen() const { return engine_.screen(); }
  std::span<const std::uint8_t> stream() const { return stream_; }
  // Port reads beyond the one per chunk: parameters fetched from the port.
  int extraReads() const { return port_.reads - int(chunks.size()); }
  bool deviceMode() const { return engine_.options().NormalTerminalFlag == 0; }

  std::vector<Chunk> chunks;

 private:
  // The scripted port with the stream waiting as a span, which a read cuts
  // without the deque's cost; counts the reads.
  struct StreamPort : FakePort {
    int Read(std::uint8_t* data, int max) override {
      ++reads;
      const int n = static_cast<int>(std::min<std::size_t>(max, left.size()));
      std::copy_n(left.begin(), n, data);
      left = left.subspan(n);
      return n;
    }
    void PurgeReceive() override { left = {}; }
    std::span<const std::uint8_t> left;
    int reads = 0;
  };
  void PresentScreen(const Raster&) override {}
  void CarryOut(int) override {}

  std::span<const std::uint8_t> stream_;
  StreamPort port_;
  VirtualClock clock_;
  Engine engine_;
};

// Bytes in the command that starts with `code`.
inline std::size_t CommandLength(std::uint8_t code, bool deviceMode) {
  if (code == 5) return 4;
  return code == 12 || (deviceMode && (code == 10 || code == 11)) ? 2 : 1;
}

inline std::span<const std::uint8_t> WithoutCutOffTail(
    std::span<const std::uint8_t> stream, bool deviceMode) {
  for (std::size_t at = 0; !deviceMode && at < stream.size();) {
    const std::size_t length = CommandLength(stream[at], false);
    if (at + length > stream.size()) return stream.first(at);
    at += length;
  }
  return stream;
}

// Where a lettered request for letter 0 ends, the text length it matches.
inline std::vector<int> LetterZeroEnds(std::span<const std::uint8_t> stream,
                                       bool deviceMode) {
  std::vector<int> ends(stream.size() + 1, -1);
  for (std::size_t at = 0; at < stream.size();) {
    const std::size_t length = CommandLength(stream[at], deviceMode);
    if (length == 4 && at + 4 <= stream.size() &&
        (stream[at + 1] & 0xBF) == 0x82 && stream[at + 3] == 0) {
      ends[at + 4] = stream[at + 2];
    }
    at += length;
  }
  return ends;
}

// Empty when `run` gives what its chunk boundaries call for, judged against
// the same stream decoded in single bytes; else the first difference.
inline std::string ChunkingDisagreement(const StreamRun& run,
                                        const StreamRun& bytewise) {
  // The device display carries a cut-off command over to the next chunk.
  if (run.deviceMode() && run.extraReads() + bytewise.extraReads() != 0) {
    return "device display read parameters from the port";
  }
  const TerminalScreen &a = run.screen(), &b = bytewise.screen();
  if (!(a.image == b.image)) return "picture";
  if (a.CursorColumn != b.CursorColumn || a.CursorRow != b.CursorRow) {
    return "cursor";
  }
  if (a.ScreenText != b.ScreenText || a.PreviousText != b.PreviousText) {
    return "text";
  }
  const std::vector<int> letterZero =
      LetterZeroEnds(bytewise.stream(), bytewise.deviceMode());
  std::size_t next = 0;  // the first single-byte chunk not yet matched
  for (std::size_t i = 0; i < run.chunks.size(); ++i) {
    const StreamRun::Chunk& chunk = run.chunks[i];
    const std::string at = "chunk " + std::to_string(i) + " (to byte " +
                           std::to_string(chunk.end) + "): ";
    std::vector<std::vector<std::uint8_t>> writes;
    ChunkResult want;
    const StreamRun::Chunk* last = nullptr;
    for (; next < bytewise.chunks.size() &&
           bytewise.chunks[next].end <= chunk.end;
         ++next) {
      last = &bytewise.chunks[next];
      const ChunkResult& one = last->result;
      // A single byte's chunk ends with its own reply, if it has one.
      writes.insert(writes.end(), last->writes.begin(),
                    last->writes.end() - (one.ReplyByte > 0 ? 1 : 0));
      if (one.ReplyByte > 0) want.ReplyByte = one.ReplyByte;
      if (one.ServiceRequest > 0) want.ServiceRequest = one.ServiceRequest;
      if (letterZero[last->end] == int(last->textLength)) {
        want.ServiceRequest = 0;
      }
      want.blockAnswered = want.blockAnswered || one.blockAnswered;
    }
    if (last == nullptr || last->end != chunk.end) {
      return at + "ends inside a command";
    }
    if (want.ReplyByte > 0) {
      writes.push_back({static_cast<std::uint8_t>(want.ReplyByte)});
    }
    const ChunkResult& got = chunk.result;
    if (chunk.writes != writes) return at + "port writes";
    if (got.ReplyByte != want.ReplyByte) return at + "reply byte";
    if (got.ServiceRequest != want.ServiceRequest) return at + "request";
    if (got.blockAnswered != want.blockAnswered) return at + "block answered";
    if (want.ServiceRequest > 0 &&
        (chunk.text != last->text || chunk.previous != last->previous)) {
      return at + "request argument";
    }
  }
  return "";
}

// Decodes `stream` in the chunk sizes `nextSize` gives and in single bytes;
// empty when the two agree as above, else what differs and where.
inline std::string CheckChunkings(StreamRun& chunked, StreamRun& bytewise,
                                  const StreamSetup& setup,
                                  std::span<const std::uint8_t> stream,
                                  const std::function<int()>& nextSize) {
  stream = WithoutCutOffTail(stream, setup.deviceMode);
  chunked.Start(setup, stream);
  chunked.Run(nextSize);
  // The single bytes keep the text where the chunks handed a request over.
  std::vector<std::size_t> asked;
  for (const auto& c : chunked.chunks)
    if (c.result.ServiceRequest > 0) asked.push_back(c.end);
  bytewise.Start(setup, stream);
  bytewise.Run([] { return 1; },
               [&](std::size_t end) {
                 return std::find(asked.begin(), asked.end(), end) !=
                        asked.end();
               });
  std::string wrong = ChunkingDisagreement(chunked, bytewise);
  chunked.Release();
  bytewise.Release();
  return wrong;
}

inline std::string CheckChunkings(const Raster& sheet, const StreamSetup& setup,
                                  std::span<const std::uint8_t> stream,
                                  const std::function<int()>& nextSize) {
  StreamRun chunked(sheet), bytewise(sheet);
  return CheckChunkings(chunked, bytewise, setup, stream, nextSize);
}

}  // namespace kestrix::test
