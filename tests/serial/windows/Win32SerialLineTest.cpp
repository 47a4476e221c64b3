// The Win32 serial line against pty_device.py, which Wine sees as the COM
// port KESTRIX_TEST_COM (run-under-wine.sh starts both).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "serial/SerialAdapters.h"
#include "serial/Win32SerialLine.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kPollLimit = 2000;  // against a hang, not a speed limit
constexpr int kUnusedTestPort = 213;

class Win32SerialLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* number = std::getenv("KESTRIX_TEST_COM");
    ASSERT_NE(number, nullptr) << "run through run-under-wine.sh";
    number_ = number;
    line_.SetOnLost([this] { ++losses_; });
    ASSERT_TRUE(line_.OpenPort(number_, 0, 0));
  }

  void Send(const std::string& text) {
    ASSERT_EQ(line_.Write(reinterpret_cast<const std::uint8_t*>(text.data()),
                          static_cast<int>(text.size())),
              static_cast<int>(text.size()));
  }
  // Reads until count bytes have come, the line fails or the limit is hit.
  Bytes Receive(int count, int maxPerRead = 4096) {
    Bytes bytes;
    std::uint8_t buffer[4096];
    for (int poll = 0;
         poll < kPollLimit && static_cast<int>(bytes.size()) < count;) {
      const int n = line_.Read(buffer, maxPerRead);
      if (n < 0) break;
      if (n == 0) {
        ++poll;
        Sleep(5);
      }
      bytes.insert(bytes.end(), buffer, buffer + n);
    }
    return bytes;
  }
  void WaitForBytes() {
    for (int poll = 0; poll < kPollLimit && !line_.BytesWaiting(); ++poll) {
      Sleep(5);
    }
    ASSERT_TRUE(line_.BytesWaiting());
  }
  // The device's answer to a command is the next thing to arrive.
  void ExpectAnswer(const std::string& command, const std::string& expected) {
    Send(command);
    const Bytes bytes = Receive(static_cast<int>(expected.size()));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected) << command;
  }

  std::string number_;
  int losses_ = 0;
  Win32SerialLine line_{".", 300};
};

TEST_F(Win32SerialLineTest, BytesPassUnchangedReadsNeverWaitAndPurgeDrops) {
  std::uint8_t byte = 0;
  EXPECT_EQ(line_.Read(&byte, 1), 0);
  EXPECT_FALSE(line_.BytesWaiting());
  Bytes all(256);
  for (int i = 0; i < 256; ++i) all[i] = static_cast<std::uint8_t>(i);
  Send("ECHO 256\n");
  ASSERT_EQ(line_.Write(all.data(), 256), 256);
  EXPECT_EQ(Receive(256), all);

  // Reads asking for far more than the 5 bytes sent still come back.
  Send("SEND 5\n");
  EXPECT_EQ(Receive(5, 1000), Bytes(5, 'x'));
  EXPECT_EQ(line_.Read(&byte, 1), 0);
  EXPECT_FALSE(line_.BytesWaiting());

  // A read that filled its buffer says that more may wait.
  Send("SEND 3\n");
  EXPECT_EQ(Receive(2, 1), Bytes(2, 'x'));
  EXPECT_TRUE(line_.BytesWaiting());
  EXPECT_EQ(Receive(1, 1), Bytes(1, 'x'));

  // A pseudo-terminal under load may hold the 64 bytes back past the purge
  // even after one was reported waiting, so a round where all of them follow
  // the purge says nothing: a purge that drops none never passes the rounds.
  std::size_t leftOver = 64;
  for (int round = 0; round < 5 && leftOver == 64; ++round) {
    Send("SEND 64\n");
    WaitForBytes();
    Sleep(50);
    line_.PurgeReceive();
    Send("PING\n");
    std::string got;
    for (int poll = 0; poll < kPollLimit && !got.ends_with("PONG\n"); ++poll) {
      const Bytes bytes = Receive(1);
      got.append(bytes.begin(), bytes.end());
    }
    ASSERT_GE(got.size(), 5u);
    leftOver = got.size() - 5;
    ASSERT_EQ(got, std::string(leftOver, 'x') + "PONG\n");
  }
  EXPECT_LT(leftOver, 64u);
}

TEST_F(Win32SerialLineTest, AStuckWriteEndsWithWhatWasTakenAndThePortWorks) {
  const char* resume = std::getenv("KESTRIX_TEST_RESUME");
  ASSERT_NE(resume, nullptr) << "run through run-under-wine.sh";
  Send("DEAF\n");
  // More than a pseudo-terminal holds for a reader that does not read.
  const Bytes block(32 * 1024, 'y');
  const int written = line_.Write(block.data(), static_cast<int>(block.size()));
  EXPECT_GT(written, 0);
  EXPECT_LT(written, static_cast<int>(block.size()));
  EXPECT_TRUE(line_.IsOpen());
  EXPECT_EQ(losses_, 0);

  // The device drops what got through and listens again.
  const std::string partial = std::string(resume) + ".new";
  ASSERT_TRUE(std::ofstream(partial) << std::max(written, 0));
  ASSERT_TRUE(MoveFileExA(partial.c_str(), resume, MOVEFILE_REPLACE_EXISTING));
  ExpectAnswer("PING\n", "PONG\n");
}

// A pseudo-terminal has no modem lines: the driver refuses every change of
// DTR and RTS, and the port must go on working.
TEST_F(Win32SerialLineTest, LineSettingsFollowTheBaudIndexModemLinesDoNoHarm) {
  const struct {
    const char* name;
    int index;
    bool ft232r;
    const char* mode;  // rate, stop bits, data bits, flow control
  } cases[] = {{"below the table", -1, false, "115200 2 8 0\n"},
               {"115200", 0, true, "115200 2 8 0\n"},
               {"4800", 5, false, "4800 1 8 0\n"},
               {"1200, the last", 7, true, "1200 1 8 0\n"},
               {"past the table", 8, false, "115200 1 8 0\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(line_.OpenPort(number_, c.index, c.ft232r));
    for (bool on : {true, false}) line_.SetDtr(on), line_.SetRts(on);
    ExpectAnswer("MODE\n", c.mode);
  }

  // A re-clock keeps the port and what waits in it.
  Send("SEND 3\n");
  WaitForBytes();
  line_.SetBaud(5);
  ExpectAnswer("MODE\n", "xxx4800 1 8 0\n");
  line_.SetBaud(0);
  ExpectAnswer("MODE\n", "115200 2 8 0\n");
  EXPECT_TRUE(line_.IsOpen());
  EXPECT_EQ(losses_, 0);
}

TEST_F(Win32SerialLineTest, OnlyAPlainNumberWithADeviceOpens) {
  // Name forms are PortNamesTest's; here each failure closes the open port.
  for (const char* name : {"63", "07", "7\\..\\COM7"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(line_.OpenPort(name, 0, 0));
    EXPECT_FALSE(line_.IsOpen());
    std::uint8_t byte = 0;
    EXPECT_EQ(std::pair(line_.Write(&byte, 1), line_.Read(&byte, 1)),
              std::pair(-1, -1));
    ASSERT_TRUE(line_.OpenPort(number_, 0, 0));
  }
  EXPECT_EQ(losses_, 0);
}

TEST_F(Win32SerialLineTest, AVanishedDeviceClosesThePortAndIsReportedOnce) {
  Send("HANGUP\n");
  EXPECT_EQ(Receive(1), Bytes());  // reads until one fails
  EXPECT_FALSE(line_.IsOpen());
  std::uint8_t byte = 0;
  EXPECT_EQ(line_.Write(&byte, 1), -1);
  EXPECT_EQ(line_.Read(&byte, 1), -1);
  EXPECT_EQ(losses_, 1);

  ASSERT_TRUE(line_.OpenPort(number_, 0, 0));
  ExpectAnswer("PING\n", "PONG\n");
  EXPECT_EQ(losses_, 1);
}

// Wine lists only the ports it found itself, so the test enters its port
// where Windows lists every serial device, twice, as two drivers might.
TEST(SerialAdaptersTest, PortsOfTheSerialDeviceMapAreListedOnceInOrder) {
  const std::string name = std::string("COM") + std::to_string(kUnusedTestPort);
  HKEY map = nullptr;
  ASSERT_EQ(
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0,
                      nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &map, nullptr),
      ERROR_SUCCESS);
  const char* const drivers[] = {"\\Device\\KestrixTestA",
                                 "\\Device\\KestrixTestB"};
  for (const char* driver : drivers) {
    RegSetValueExA(map, driver, 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(name.c_str()),
                   static_cast<DWORD>(name.size() + 1));
  }
  const std::vector<SerialAdapter> adapters = ListSerialAdapters(".");
  for (const char* driver : drivers) RegDeleteValueA(map, driver);
  RegCloseKey(map);

  std::vector<std::string> ours;
  for (const SerialAdapter& a : adapters) {
    if (a.comNumber == kUnusedTestPort) ours.push_back(a.device);
  }
  EXPECT_EQ(ours, std::vector<std::string>{"\\\\.\\" + name});
  EXPECT_TRUE(
      std::is_sorted(adapters.begin(), adapters.end(),
                     [](const SerialAdapter& a, const SerialAdapter& b) {
                       return a.comNumber < b.comNumber;
                     }));
}

}  // namespace
}  // namespace kestrix
