// The device's requests: clock, time, date, file blocks, lettered requests,
// and the serial poll that hands them on.
#include <gtest/gtest.h>

#include "EngineHarness.h"
#include "support/TempFolder.h"
#include "terminal/DeviceRequests.h"

namespace kestrix::test {
namespace {

Bytes Le32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
          static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24)};
}

TEST(ImmediateRequests, TimeDateAndClockAnswers) {
  struct Row {
    const char* name;
    Bytes request;
    std::string answer;
  };
  // clang-format off
  const Row rows[] = {
      {"time", {5, 0x81, 2, 0}, "09:05:03\r"},
      {"date", {5, 0x81, 3, 77}, "01.31 2026\r"},
      {"clock, local time read as UTC", {5, 0x81, 1, 0}, "1769850303\r"},
      {"bits 4 and 6 ignored, selectors 3 and 5 silent", {5, 0xD1, 2, 0, 5, 0xA1, 1, 0, 5, 0xA1, 2, 0}, "09:05:03\r"},
  };
  // clang-format on
  for (const Row& row : rows) {
    EngineRig e(/*deviceMode=*/true);
    e.clock.now = {2026, 1, 31, 9, 5, 3};
    e.Feed(row.request);
    EXPECT_EQ(e.port.WrittenText(), row.answer) << row.name;
    EXPECT_EQ(e.port.writes.size(), 1u) << row.name;  // in one write
  }
  EXPECT_EQ(ClockSeconds({2100, 3, 1, 12, 0, 1}), 4107585601);
  EXPECT_EQ(DateAnswer({987, 12, 9, 0, 0, 0}), "12.09 0987\r");
}

TEST(BlockRead, TheRequestedBlockWithItsSignedChecksumOrNothing) {
  TempFolder folder;
  std::string file(512 * 300, '\0');
  for (std::size_t i = 0; i < file.size(); ++i)
    file[i] = static_cast<char>(i * 7 + i / 512);
  const std::string path = folder.Write("prepared.bin", file).string();
  struct Row {
    const char* name;
    Bytes request;
    int block;
  };
  // Selector X8 * 2 + bit 5 of K; block (selector - 256) * 128 + Y8.
  const Row rows[] = {{"first block", {5, 0x81, 128, 0}, 0},
                      {"bit 5 adds 128", {5, 0xA1, 128, 43}, 171},
                      {"X8 129", {5, 0x81, 129, 0}, 256},
                      {"selector 255", {5, 0xA1, 127, 130}, 2}};
  for (const Row& row : rows) {
    EngineRig e(/*deviceMode=*/true);
    e.engine.SetPreparedFile(path);
    EXPECT_TRUE(e.Feed(row.request).BlockAnswered) << row.name;
    const auto from = file.begin() + row.block * 512;
    std::int32_t sum = 0;
    for (auto it = from; it != from + 512; ++it)
      sum += static_cast<std::int8_t>(*it);
    EXPECT_EQ(e.port.writes,
              (std::vector<Bytes>{{from, from + 512}, Le32(sum)}))
        << row.name;
  }
  // No file sends nothing; bytes outside the file are zeros.
  EngineRig e(/*deviceMode=*/true);
  EXPECT_FALSE(e.Feed(Bytes{5, 0x81, 128, 0}).BlockAnswered);
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
}

TEST(BlockRead, FilesThatCannotBeReadGetNoAnswer) {
  TempFolder folder;
  MakeFifo(folder / "fifo");  // opening it would wait
  const struct {
    const char* name;
    std::string path;
  } rows[] = {{"folder", folder.path().string()},
              {"fifo", (folder / "fifo").string()},
              // Regular, but reading at offset 0 fails with an I/O error.
              {"read error", "/proc/self/mem"}};
  for (const auto& row : rows) {
    EXPECT_FALSE(ReadFileBlock(row.path, 0).has_value()) << row.name;
  }
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

}  // namespace
}  // namespace kestrix::test
