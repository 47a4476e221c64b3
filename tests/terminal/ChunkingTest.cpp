// A stream decoded in full chunks, in single bytes and in random chunkings
// gives what its chunk boundaries call for (support/ChunkingOracle.h); a
// backlog drained in full chunks keeps every answer, once and in order.
#include <gtest/gtest.h>

#include <random>

#include "EngineHarness.h"
#include "support/ChunkingOracle.h"
#include "support/TempFolder.h"

namespace kestrix::test {
namespace {

std::string Repeat(const std::string& s, int n) {
  std::string all;
  for (int i = 0; i < n; ++i) all += s;
  return all;
}

TEST(Chunking, RandomChunkingsGiveWhatTheirBoundariesCallFor) {
  TempFolder folder;
  std::string file(700, '\0');
  for (std::size_t i = 0; i < file.size(); ++i) file[i] = char(i * 37);
  const std::string prepared = folder.Write("p.bin", file).string();
  const Raster sheet = MakeTestSheet();
  const std::string requests = std::string(
      "\1T.TXT\5\x82\5t\5\x09\1\1\5\x01\1\1\5\x09\1\1\5\x81\2\0"
      "\5\x81\x80\0\5\x81\3\0more\1OUT\5\x82\3s\5\x81\1\0\5\x09\x60\x60", 54);
  const struct {
    const char* name;
    bool device, crMode;
    std::string stream;
  } rows[] = {
      {"device: line ends and wraps at the bottom", true, false,
       Repeat("abcdefghijk\r\5\x0b\0\x11", 12)},
      {"device: queries, requests, immediate answers", true, false,
       Repeat(requests, 3)},
      {"device: column, row and colour codes", true, false,
       Repeat("a\n\5b\13\2c\14\3d\14\x0a", 20)},
      {"normal: CR with Auto-LF, tabs, backspaces", false, true,
       Repeat("abc\rdef\n\t\b\310\14\2", 20)},
      {"normal: queries, requests, immediate answers", false, false,
       Repeat(requests, 3)},
  };
  std::mt19937 random(19);
  for (const auto& row : rows) {
    StreamSetup setup;
    setup.deviceMode = row.device;
    setup.crMode = row.crMode;
    setup.cols = 10;
    setup.rows = 4;
    setup.preparedFile = prepared;
    const Bytes stream(row.stream.begin(), row.stream.end());
    for (int trial = 0; trial < 32; ++trial) {
      // Short pieces, cut anywhere, or full chunks (one piece up to 1024).
      const int most = std::array{2, 9, 1024, 0}[trial % 4];
      std::uniform_int_distribution<int> size(1, std::max(most, 1));
      EXPECT_EQ(CheckChunkings(sheet, setup, stream, [&] {
                  return most == 0 ? 1024 : size(random);
                }),
                "")
          << row.name << ", trial " << trial;
    }
  }
}

// The window drains a backlog in reads of 1024 bytes back to back.
TEST(Chunking, ABacklogInFullChunksAnswersEveryRequestOnceInOrder) {
  const Raster sheet = MakeTestSheet();
  TempFolder folder;
  const std::string prepared =
      folder.Write("p.bin", std::string(512, '\x01')).string();
  const auto text = [](int n) { return std::string(std::size_t(n), 'x'); };
  // A query filling chunk 0 to its last byte; a time request cut across
  // chunks 1 and 2; a query (on the black strip) cut across 2 and 3, then a
  // date request, the clock and a block cut across 3 and 4 (on the device
  // display; the normal terminal completes the cut-off commands from the
  // port, so its later chunks start up to two bytes on).
  const std::string stream =
      text(1020) + "\5\x09\xFF\xFF" + text(1022) + std::string("\5\x81\2\0", 4) +
      text(1020) + std::string("\5\x09\0\xD7\5\x81\3\0\5\x81\1\0", 12) +
      text(1012) + std::string("\5\x81\x80\0", 4) + text(10);
  const Bytes time{'0', '9', ':', '0', '5', ':', '0', '3', 13},
      date{'0', '1', '.', '3', '1', ' ', '2', '0', '2', '6', 13},
      clock{'1', '7', '6', '9', '8', '5', '0', '3', '0', '3', 13},
      block(512, 1), sum{0, 2, 0, 0};
  using Writes = std::vector<std::pair<std::size_t, Bytes>>;
  const struct {
    bool device;
    Writes writes;  // (chunk, bytes)
  } rows[] = {
      {true, {{0, {0xFF}}, {2, time}, {3, date}, {3, clock}, {3, {0xFE}},
              {4, block}, {4, sum}}},
      {false, {{0, {0xFF}}, {1, time}, {2, {0xFE}}, {3, date}, {3, clock},
               {3, block}, {3, sum}}},
  };
  for (const auto& row : rows) {
    StreamSetup setup;
    setup.deviceMode = row.device;
    setup.preparedFile = prepared;
    const Bytes bytes(stream.begin(), stream.end());
    StreamRun run(sheet);
    run.Start(setup, bytes);
    run.Run([] { return 1024; });
    Writes writes;
    for (std::size_t i = 0; i < run.chunks.size(); ++i)
      for (const Bytes& w : run.chunks[i].writes) writes.emplace_back(i, w);
    EXPECT_EQ(writes, row.writes) << (row.device ? "device" : "normal");
    EXPECT_EQ(CheckChunkings(sheet, setup, bytes, [] { return 1024; }), "");
  }
}

}  // namespace
}  // namespace kestrix::test
