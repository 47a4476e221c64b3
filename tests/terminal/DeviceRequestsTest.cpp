// The device's requests: clock, time, date, file blocks, lettered requests.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "EngineHarness.h"
#include "support/TempFolder.h"
#include "terminal/DeviceRequests.h"

namespace kestrix::test {
namespace {

struct TempFile {
  explicit TempFile(const Bytes& data) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), data.size());
  }
  ~TempFile() { std::filesystem::remove(path); }
  const std::string path = testing::TempDir() + "kestrix-block.bin";
};

Bytes Le32(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
          static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24)};
}

TEST(ImmediateRequests, TimeDateAndClockAnswers) {
  Engine e(/*deviceMode=*/true);
  e.clock.now = {2026, 1, 31, 9, 5, 3};
  const std::pair<Bytes, std::string> cases[] = {
      {{5, 0x81, 2, 0}, "09:05:03\r"},
      {{5, 0x81, 3, 77}, "01.31 2026\r"},
      {{5, 0x81, 1, 0}, "1769850303\r"},  // the local time read as UTC
      // Bits 4 and 6 of K do not matter; selectors 3 and 5 have no answer.
      {{5, 0xD1, 2, 0, 5, 0xA1, 1, 0, 5, 0xA1, 2, 0}, "09:05:03\r"},
  };
  for (const auto& [request, answer] : cases) {
    e.port.writes.clear();
    e.Feed(request);
    EXPECT_EQ(e.port.WrittenText(), answer);
    EXPECT_EQ(e.port.writes.size(), 1u);
  }
  EXPECT_EQ(ClockSeconds({1970, 1, 1, 0, 0, 0}), 0);
  EXPECT_EQ(ClockSeconds({2000, 3, 1, 0, 0, 0}), 951868800);
  EXPECT_EQ(ClockSeconds({2100, 3, 1, 12, 0, 1}), 4107585601);
  EXPECT_EQ(DateAnswer({987, 12, 9, 0, 0, 0}), "12.09 0987\r");
}

TEST(BlockRead, SendsTheRequestedBlockAndItsSignedChecksum) {
  Bytes file(512 * 300);
  for (std::size_t i = 0; i < file.size(); ++i)
    file[i] = static_cast<std::uint8_t>(i * 7 + i / 512);
  TempFile tf(file);
  // Selector X8 * 2 + bit 5 of K; block (selector - 256) * 128 + Y8.
  const std::pair<Bytes, int> cases[] = {{{5, 0x81, 128, 0}, 0},
                                         {{5, 0xA1, 128, 43}, 171},
                                         {{5, 0x81, 129, 0}, 256},
                                         {{5, 0xA1, 127, 130}, 2}};
  for (const auto& [request, block] : cases) {
    Engine e(/*deviceMode=*/true);
    e.decoder.PreparedFile = tf.path;
    e.Feed(request);
    ASSERT_EQ(e.port.writes.size(), 2u) << block;
    const auto from = file.begin() + block * 512;
    EXPECT_EQ(e.port.writes[0], Bytes(from, from + 512)) << block;
    std::int32_t sum = 0;
    for (auto it = from; it != from + 512; ++it)
      sum += static_cast<std::int8_t>(*it);
    EXPECT_EQ(e.port.writes[1], Le32(sum)) << block;
  }
}

TEST(BlockRead, BytesOutsideTheFileAreZerosAndNoFileSendsNothing) {
  TempFile tf(Bytes(100, 0xFF));
  Engine e(/*deviceMode=*/true);
  e.Feed(Bytes{5, 0x81, 128, 0});
  e.decoder.PreparedFile = "/nonexistent/kestrix/file.bin";
  e.Feed(Bytes{5, 0x81, 128, 0});
  EXPECT_TRUE(e.port.writes.empty());
  e.decoder.PreparedFile = tf.path;
  // Block 0, block 9 past the end, and block 5 - 128 before the start.
  e.Feed(Bytes{5, 0x81, 128, 0, 5, 0x81, 128, 9, 5, 0xA1, 127, 5});
  Bytes first(512, 0);
  std::fill(first.begin(), first.begin() + 100, 0xFF);
  const Bytes none(512, 0), zero(4, 0);
  EXPECT_EQ(e.port.writes,
            (std::vector<Bytes>{
                first, {0x9C, 0xFF, 0xFF, 0xFF}, none, zero, none, zero}));
  EXPECT_TRUE(e.decoder.TakeBlockAnswered());  // mouse reports resume after
}

TEST(BlockRead, FilesThatCannotBeReadGetNoAnswer) {
  TempFolder folder;
  ::mkfifo((folder / "fifo").c_str(), 0600);  // opening it would wait
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
  Engine e(/*deviceMode=*/true);
  e.Feed("\1T.TXT\5\x82\4t\5\xA2\2t");  // X8 4, or 2 and bit 5, miss 5
  EXPECT_EQ(e.decoder.ServiceRequest, 0);
  e.Feed(Bytes{5, 0x82, 5, 't'});
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 't');
  // The last of two wins; bit 4 makes it no letter.
  e.Feed(Bytes{1, 'a', 5, 0x82, 1, 'f', 5, 0x82, 1, 'o'});
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 'o');
  e.Feed(Bytes{5, 0x92, 1, 'b'});
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 'b' + 1);
  EXPECT_TRUE(e.port.writes.empty());
  // A save request carries the previous page.
  e.Feed("\1hello\1OUT.TXT\5\x82\7s");
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 's');
  EXPECT_EQ(e.screen.PreviousText, "hello");
  // In normal mode home keeps the text, so the length counts all of it.
  Engine normal;
  normal.Feed(Bytes{'x', 1, 'y', 5, 0x82, 2, 'i'});
  EXPECT_EQ(normal.screen.ScreenText, "xy");
  EXPECT_EQ(normal.decoder.ServiceRequest, 2 * 'i');
}

}  // namespace
}  // namespace kestrix::test
