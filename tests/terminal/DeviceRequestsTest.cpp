#include <gtest/gtest.h>

#include <random>

#include "EngineHarness.h"
#include "support/ChunkingOracle.h"
#include "support/TempFolder.h"
#include "terminal/DeviceRequests.h"

namespace kestrix::test {
namespace {

// The answers themselves are pinned by the backlog case below.
TEST(ImmediateRequests, BitsFourAndSixIgnoredSelectorsThreeAndFiveSilent) {
  EngineRig e(/*deviceMode=*/true);
  e.clock.now = {2026, 1, 31, 9, 5, 3};
  e.Feed(Bytes{5, 0xD1, 2, 0, 5, 0xA1, 1, 0, 5, 0xA1, 2, 0});
  EXPECT_EQ(e.port.WrittenText(), "09:05:03\r");
  EXPECT_EQ(e.port.writes.size(), 1u);
  EXPECT_EQ(ClockSeconds({2100, 3, 1, 12, 0, 1}), 4107585601);
  EXPECT_EQ(DateAnswer({987, 12, 9, 0, 0, 0}), "12.09 0987\r");
}

TEST(BlockRead, TheRequestedBlockWithItsSignedChecksumOrNothing) {
  TempFolder folder;
  std::string file(512 * 300, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = char(i * 7 + i / 512);
  const std::string path = folder.Write("prepared.bin", file).string();
  // Selector X8 * 2 + bit 5 of K; block (selector - 256) * 128 + Y8: the
  // first block, bit 5 adding 128, X8 129, selector 255.
  EngineRig four(/*deviceMode=*/true);
  four.engine.SetPreparedFile(path);
  EXPECT_TRUE(four.Feed(Bytes{5, 0x81, 128, 0, 5, 0xA1, 128, 43, 5, 0x81, 129,
                              0, 5, 0xA1, 127, 130})
                  .blockAnswered);
  ASSERT_EQ(four.port.writes.size(), 8u);  // block, checksum each
  for (int i = 0; const int block : {0, 171, 256, 2}) {
    const auto from = file.begin() + block * 512;
    EXPECT_EQ(four.port.writes[std::size_t(2 * i++)], Bytes(from, from + 512))
        << block;
  }
  // No file sends nothing; bytes outside the file are zeros; the checksum
  // adds signed bytes, little-endian.
  EngineRig e(/*deviceMode=*/true);
  EXPECT_FALSE(e.Feed(Bytes{5, 0x81, 128, 0}).blockAnswered);
  e.engine.SetPreparedFile((folder / "missing.bin").string());
  e.Feed(Bytes{5, 0x81, 128, 0});
  EXPECT_TRUE(e.port.writes.empty());
  e.engine.SetPreparedFile(
      folder.Write("short.bin", std::string(100, '\xFF')).string());
  // Block 0, block 9 past the end, and block 5 - 128 before the start.
  e.Feed(Bytes{5, 0x81, 128, 0, 5, 0x81, 128, 9, 5, 0xA1, 127, 5});
  Bytes first(512, 0);
  std::fill(first.begin(), first.begin() + 100, 0xFF);
  const Bytes none(512, 0), zero(4, 0);
  EXPECT_EQ(e.port.writes,
            (std::vector<Bytes>{
                first, {0x9C, 0xFF, 0xFF, 0xFF}, none, zero, none, zero}));
  // Unreadable: a folder, a fifo (opening it would wait), a read error.
  MakeFifo(folder / "fifo");
  for (const std::string& p :
       {folder.path().string(), (folder / "fifo").string(),
        std::string("/proc/self/mem")})
    EXPECT_FALSE(ReadFileBlock(p, 0).has_value()) << p;
}

TEST(LetteredRequests, RecordedOnlyWhenTheLengthMatches) {
  struct Row {
    const char* name;
    bool device;
    std::string stream;
    int request;
  };
  // clang-format off
  const Row rows[] = {
      {"length matches", true, "\1T.TXT\5\x82\5t", 2 * 't'},
      {"X8 one short", true, "\1T.TXT\5\x82\4t", 0},
      {"bit 5 set", true, "\1T.TXT\5\xA2\2t", 0},
      {"the last of two wins", true, "\1a\5\x82\1f\5\x82\1o", 2 * 'o'},
      {"bit 4 makes it no letter", true, "\1a\5\x92\1b", 2 * 'b' + 1},
      {"letter 0 withdraws it", true, std::string("\1a\5\x82\1f\5\x82\1\0", 10), 0},
      {"normal home keeps the text", false, "x\1y\5\x82\2i", 2 * 'i'},
  };
  // clang-format on
  for (const Row& row : rows) {
    EngineRig e(row.device);
    EXPECT_EQ(e.Feed(row.stream).ServiceRequest, row.request) << row.name;
    EXPECT_TRUE(e.port.writes.empty()) << row.name;
  }
  // A save request finds its content on the previous page.
  EngineRig e(/*deviceMode=*/true);
  EXPECT_EQ(e.Feed("\1hello\1OUT.TXT\5\x82\7s").ServiceRequest, 2 * 's');
  EXPECT_EQ(e.screen.PreviousText, "hello");
}

TEST(Poll, RequestBeforeReplyAndPendingOnesWaitForBytes) {
  EngineRig e;
  // Clear, name T.TXT, service "t", then: is pixel (200, 200) black?
  e.port.Feed(std::string("\0T.TXT\x05\x82\x05t\x05\x09\x64\x64", 14));
  e.port.onWrite = [&](const std::uint8_t*, int) {
    EXPECT_EQ(e.watcher.requests, std::vector<int>{2 * 't'});
  };
  e.engine.Poll(e.watcher);
  EXPECT_EQ(e.port.writes, std::vector<Bytes>{{0xFE}});
  // The program's own text leaves a request and a reply: no poll with bytes,
  // no hand-over.
  e.port.onWrite = nullptr;
  e.engine.PrintText(std::string("\0o\x05\x82\x01o\x05\x09\xFF\xFF", 11));
  e.engine.Poll(e.watcher);
  EXPECT_EQ(e.watcher.requests.size(), 1u);
  e.port.Feed(std::string("z"));
  e.engine.Poll(e.watcher, 1);
  EXPECT_EQ(e.watcher.requests, (std::vector<int>{2 * 't', 2 * 'o'}));
  EXPECT_EQ(e.port.writes, (std::vector<Bytes>{{0xFE}, {0xFF}}));
}

std::string Repeat(const std::string& s, int n) {
  std::string all;
  while (n-- > 0) all += s;
  return all;
}

TEST(Chunking, RandomChunkingsGiveWhatTheirBoundariesCallFor) {
  TempFolder folder;
  std::string file(700, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = char(i * 37);
  const Raster sheet = MakeTestSheet();
  StreamSetup setup;
  setup.cols = 10;
  setup.rows = 4;
  setup.preparedFile = folder.Write("p.bin", file).string();
  const std::string requests = std::string(
      "\1T.TXT\5\x82\5t\5\x09\1\1\5\x01\1\1\5\x09\1\1\5\x81\2\0"
      "\5\x81\x80\0\5\x81\3\0more\1OUT\5\x82\3s\5\x81\1\0\5\x09\x60\x60",
      54);
  const struct {
    const char* name;
    bool device, crMode;
    std::string stream;
  } rows[] = {
      // clang-format off
      {"device: line ends and wraps at the bottom", true, false, Repeat("abcdefghijk\r\5\x0b\0\x11", 12)},
      {"device: queries, requests, immediate answers", true, false, Repeat(requests, 3)},
      {"device: column, row and colour codes", true, false, Repeat("a\n\5b\13\2c\14\3d\14\x0a", 20)},
      {"normal: CR with Auto-LF, tabs, backspaces", false, true, Repeat("abc\rdef\n\t\b\310\14\2", 20)},
      {"normal: queries, requests, immediate answers", false, false, Repeat(requests, 3)},
      // clang-format on
  };
  std::mt19937 random(19);
  for (const auto& row : rows) {
    setup.deviceMode = row.device;
    setup.crMode = row.crMode;
    const Bytes stream(row.stream.begin(), row.stream.end());
    for (int trial = 0; trial < 32; ++trial) {
      // Short pieces, cut anywhere, or full chunks (one piece up to 1024).
      const int most = std::array{2, 9, 1024, 0}[trial % 4];
      std::uniform_int_distribution<int> size(1, std::max(most, 1));
      EXPECT_EQ(CheckChunkings(sheet, setup, stream,
                               [&] { return most == 0 ? 1024 : size(random); }),
                "")
          << row.name << ", trial " << trial;
    }
  }
}

// The window drains a backlog in reads of 1024 bytes back to back.
TEST(Chunking, ABacklogInFullChunksAnswersEveryRequestOnceInOrder) {
  TempFolder folder;
  StreamSetup setup;
  setup.preparedFile = folder.Write("p.bin", std::string(512, '\x01')).string();
  const auto text = [](int n) { return std::string(std::size_t(n), 'x'); };
  // A query filling chunk 0 to its last byte; a time request cut across
  // chunks 1 and 2; a query (on the black strip) cut across 2 and 3, then a
  // date request, the clock and a block cut across 3 and 4 (on the device
  // display; the normal terminal completes the cut-off commands from the
  // port, so its later chunks start up to two bytes on).
  const std::string s = text(1020) + "\5\x09\xFF\xFF" + text(1022) +
                        std::string("\5\x81\2\0", 4) + text(1020) +
                        std::string("\5\x09\0\xD7\5\x81\3\0\5\x81\1\0", 12) +
                        text(1012) + std::string("\5\x81\x80\0", 4) + text(10);
  const Bytes stream(s.begin(), s.end()),
      time{'0', '9', ':', '0', '5', ':', '0', '3', 13},
      date{'0', '1', '.', '3', '1', ' ', '2', '0', '2', '6', 13},
      clock{'1', '7', '6', '9', '8', '5', '0', '3', '0', '3', 13},
      block(512, 1), sum{0, 2, 0, 0};
  using Writes = std::vector<std::pair<std::size_t, Bytes>>;  // (chunk, bytes)
  const Writes device{{0, {0xFF}}, {2, time},  {3, date}, {3, clock},
                      {3, {0xFE}}, {4, block}, {4, sum}},
      normal{{0, {0xFF}}, {1, time},  {2, {0xFE}}, {3, date},
             {3, clock},  {3, block}, {3, sum}};
  const Raster sheet = MakeTestSheet();
  StreamRun run(sheet);
  for (const bool deviceMode : {true, false}) {
    setup.deviceMode = deviceMode;
    run.Start(setup, stream);
    run.Run([] { return 1024; });
    Writes writes;
    for (std::size_t i = 0; i < run.chunks.size(); ++i)
      for (const Bytes& w : run.chunks[i].writes) writes.emplace_back(i, w);
    EXPECT_EQ(writes, deviceMode ? device : normal) << deviceMode;
    EXPECT_EQ(CheckChunkings(sheet, setup, stream, [] { return 1024; }), "");
  }
}

}  // namespace
}  // namespace kestrix::test
