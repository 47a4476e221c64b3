// The device asks the PC: clock, time, date, blocks of the prepared file,
// and lettered requests left for the event loop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EngineHarness.h"
#include "terminal/DeviceRequests.h"

namespace kestrix::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

class TempFile {
 public:
  explicit TempFile(const Bytes& content) {
    path_ = std::filesystem::temp_directory_path() /
            ("kestrix-block-" +
             std::to_string(reinterpret_cast<std::uintptr_t>(this)));
    std::ofstream f(path_, std::ios::binary);
    f.write(reinterpret_cast<const char*>(content.data()),
            static_cast<std::streamsize>(content.size()));
  }
  ~TempFile() { std::filesystem::remove(path_); }
  std::string path() const { return path_.string(); }

 private:
  std::filesystem::path path_;
};

Bytes Pattern(std::size_t n) {
  Bytes b(n);
  for (std::size_t i = 0; i < n; ++i)
    b[i] = static_cast<std::uint8_t>(i * 7 + i / 512);
  return b;
}

std::int32_t SignedSum(const Bytes& b, std::size_t from, std::size_t n) {
  std::int32_t s = 0;
  for (std::size_t i = from; i < from + n && i < b.size(); ++i)
    s += static_cast<std::int8_t>(b[i]);
  return s;
}

Bytes Le32(std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  return {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
          static_cast<std::uint8_t>(u >> 16),
          static_cast<std::uint8_t>(u >> 24)};
}

TEST(ImmediateRequests, TimeDateAndClockAnswers) {
  Engine e(/*deviceMode=*/true);
  e.clock.now = {2026, 1, 31, 9, 5, 3};
  e.Feed(Bytes{5, 0x81, 2, 0});
  ASSERT_EQ(e.port.writes.size(), 1u);
  EXPECT_EQ(e.port.WrittenText(), "09:05:03\r");
  e.port.writes.clear();
  e.Feed(Bytes{5, 0x81, 3, 77});
  EXPECT_EQ(e.port.WrittenText(), "01.31 2026\r");
  e.port.writes.clear();
  e.Feed(Bytes{5, 0x81, 1, 0});
  // 2026-01-31 09:05:03 read as UTC.
  EXPECT_EQ(e.port.WrittenText(), "1769850303\r");
  e.port.writes.clear();
  // Bits 4 and 6 of K do not matter; selectors 3 and 5 have no answer.
  e.Feed(Bytes{5, 0xD1, 2, 0, 5, 0xA1, 1, 0, 5, 0xA1, 2, 0});
  EXPECT_EQ(e.port.WrittenText(), "09:05:03\r");
}

TEST(ImmediateRequests, ClockCountsLeapYearsAndCenturies) {
  EXPECT_EQ(ClockSeconds({1970, 1, 1, 0, 0, 0}), 0);
  EXPECT_EQ(ClockSeconds({2000, 3, 1, 0, 0, 0}), 951868800);
  EXPECT_EQ(ClockSeconds({2100, 3, 1, 12, 0, 1}), 4107585601);
  EXPECT_EQ(DateAnswer({987, 12, 9, 0, 0, 0}), "12.09 0987\r");
}

TEST(BlockRead, SendsTheRequestedBlockAndItsChecksum) {
  const Bytes file = Pattern(512 * 300);
  TempFile tf(file);
  struct Case {
    int k, x8, y8;
    std::size_t block;
  };
  for (const Case& c :
       {Case{0x81, 128, 0, 0}, Case{0x81, 128, 1, 1}, Case{0xA1, 128, 0, 128},
        Case{0x81, 129, 0, 256}, Case{0xA1, 128, 43, 171}}) {
    Engine e(/*deviceMode=*/true);
    e.decoder.PreparedFile = tf.path();
    e.Feed(Bytes{5, static_cast<std::uint8_t>(c.k),
                 static_cast<std::uint8_t>(c.x8),
                 static_cast<std::uint8_t>(c.y8)});
    ASSERT_EQ(e.port.writes.size(), 2u) << c.block;
    const Bytes want(file.begin() + static_cast<long>(c.block * 512),
                     file.begin() + static_cast<long>(c.block * 512 + 512));
    EXPECT_EQ(e.port.writes[0], want) << c.block;
    EXPECT_EQ(e.port.writes[1], Le32(SignedSum(file, c.block * 512, 512)));
  }
}

TEST(BlockRead, ChecksumIsASumOfSignedBytes) {
  TempFile tf(Bytes(512, 0xFF));
  Engine e(/*deviceMode=*/true);
  e.decoder.PreparedFile = tf.path();
  e.Feed(Bytes{5, 0x81, 128, 0});
  ASSERT_EQ(e.port.writes.size(), 2u);
  EXPECT_EQ(e.port.writes[1], (Bytes{0x00, 0xFE, 0xFF, 0xFF}));
}

TEST(BlockRead, PastTheEndIsZeroFilled) {
  Bytes file(100, 0x41);
  TempFile tf(file);
  Engine e(/*deviceMode=*/true);
  e.decoder.PreparedFile = tf.path();
  e.Feed(Bytes{5, 0x81, 128, 0, 5, 0x81, 128, 9});
  ASSERT_EQ(e.port.writes.size(), 4u);
  Bytes want(512, 0);
  std::fill(want.begin(), want.begin() + 100, 0x41);
  EXPECT_EQ(e.port.writes[0], want);
  EXPECT_EQ(e.port.writes[1], Le32(100 * 0x41));
  EXPECT_EQ(e.port.writes[2], Bytes(512, 0));
  EXPECT_EQ(e.port.writes[3], Le32(0));
}

TEST(BlockRead, SelectorBelowTheFileStartReadsZerosAndAboveReadsBlocks) {
  const Bytes file = Pattern(512 * 4);
  TempFile tf(file);
  Engine e(/*deviceMode=*/true);
  e.decoder.PreparedFile = tf.path();
  e.Feed(Bytes{5, 0xA1, 127, 5});  // selector 255: block 5 - 128 < 0
  ASSERT_EQ(e.port.writes.size(), 2u);
  EXPECT_EQ(e.port.writes[0], Bytes(512, 0));
  EXPECT_EQ(e.port.writes[1], Le32(0));
  e.port.writes.clear();
  e.Feed(Bytes{5, 0xA1, 127, 130});  // selector 255: block 2
  ASSERT_EQ(e.port.writes.size(), 2u);
  EXPECT_EQ(e.port.writes[0], Bytes(file.begin() + 1024, file.begin() + 1536));
}

TEST(BlockRead, NoPreparedFileSendsNothing) {
  Engine e(/*deviceMode=*/true);
  e.Feed(Bytes{5, 0x81, 128, 0});
  e.decoder.PreparedFile = "/nonexistent/kestrix/file.bin";
  e.Feed(Bytes{5, 0x81, 128, 0});
  EXPECT_TRUE(e.port.writes.empty());
}

TEST(BlockRead, MouseReportsResumeFromTheModeAfterwards) {
  TempFile tf(Bytes(10, 1));
  Engine e(/*deviceMode=*/true);
  e.decoder.PreparedFile = tf.path();
  e.settings.MsMoveOff = 1;  // as if left over
  e.Feed(Bytes{5, 0x81, 128, 0});
  EXPECT_EQ(e.settings.MsMoveOff, 0);
}

TEST(LetteredRequests, RecordedOnlyWhenTheLengthMatches) {
  Engine e(/*deviceMode=*/true);
  e.Feed(Bytes{1});
  e.Feed("T.TXT");
  e.Feed(Bytes{5, 0x82, 4, 't'});
  EXPECT_EQ(e.decoder.ServiceRequest, 0);
  e.Feed(Bytes{5, 0xA2, 2, 't'});  // 2 * 2 + bit 5 is not 10
  EXPECT_EQ(e.decoder.ServiceRequest, 0);
  e.Feed(Bytes{5, 0x82, 5, 't'});
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 't');
  EXPECT_TRUE(e.port.writes.empty());
}

TEST(LetteredRequests, SaveRequestCarriesThePreviousPage) {
  Engine e(/*deviceMode=*/true);
  Bytes stream{1};
  for (char c : std::string("hello"))
    stream.push_back(static_cast<std::uint8_t>(c));
  stream.push_back(1);
  for (char c : std::string("OUT.TXT"))
    stream.push_back(static_cast<std::uint8_t>(c));
  for (int b : {5, 0x82, 7, int{'s'}})
    stream.push_back(static_cast<std::uint8_t>(b));
  e.Feed(stream);
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 's');
  EXPECT_EQ(e.screen.ScreenText, "OUT.TXT");
  EXPECT_EQ(e.screen.PreviousText, "hello");
}

TEST(LetteredRequests, TheLastOfTwoWinsAndBit4MakesNoLetter) {
  Engine e(/*deviceMode=*/true);
  e.Feed(Bytes{1, 'a', 5, 0x82, 1, 'f', 5, 0x82, 1, 'o'});
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 'o');
  e.Feed(Bytes{5, 0x92, 1, 'b'});
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 'b' + 1);
}

TEST(LetteredRequests, NormalModeHomeKeepsTheText) {
  Engine e;
  e.Feed(Bytes{'x', 1, 'y'});
  EXPECT_EQ(e.screen.ScreenText, "xy");
  e.Feed(Bytes{5, 0x82, 2, 'i'});
  EXPECT_EQ(e.decoder.ServiceRequest, 2 * 'i');
}

}  // namespace
}  // namespace kestrix::test
