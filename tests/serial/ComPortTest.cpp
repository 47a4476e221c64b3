#include <gtest/gtest.h>

#include <QCoreApplication>
#include <thread>
#include <tuple>
#include <vector>

#include "serial/ComPort.h"
#include "sim/PseudoTerminal.h"
#include "support/TempFolder.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct PseudoTerminal : sim::PseudoTerminal {
  PseudoTerminal() { Link(temp.path().string(), 6); }
  const std::filesystem::path& folder() const { return temp.path(); }
  test::TempFolder temp;
};

int WriteBytes(ComPort& port, const Bytes& bytes) {
  return port.Write(bytes.data(), static_cast<int>(bytes.size()));
}

class ComPortTest : public ::testing::Test {
 protected:
  ComPortTest() : app_(argc_, argv_) {}
  void SetUp() override { ASSERT_TRUE(pty_.ok()); }
  bool Open(int baudIndex = 0) { return port_.OpenPort("6", baudIndex, 0); }

  int argc_ = 1;
  char name_[16] = "serial_tests";
  char* argv_[2] = {name_, nullptr};
  QCoreApplication app_;
  PseudoTerminal pty_;
  ComPort port_{pty_.folder(), 200};
  int lost_ = 0;
};

TEST_F(ComPortTest, LineSettingsFollowTheBaudIndex) {
  const std::tuple<const char*, int, speed_t, bool> cases[] = {
      {"below the table", -1, B115200, true},
      {"115200", 0, B115200, true},
      {"57600", 1, B57600, false},
      {"1200, the last", 7, B1200, false},
      {"past the table", 8, B115200, false}};
  for (const auto& [name, index, baud, twoStopBits] : cases) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(Open(index));
    const termios line = pty_.LineSettings();
    EXPECT_EQ(std::pair(cfgetispeed(&line), cfgetospeed(&line)),
              std::pair(baud, baud));
    EXPECT_EQ((line.c_cflag & CSTOPB) != 0, twoStopBits);
    // Eight bits, raw, without parity or flow control.
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CRTSCTS | CREAD | CLOCAL),
              static_cast<tcflag_t>(CS8 | CREAD | CLOCAL));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | INLCR | ISTRIP), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    port_.ClosePort();
  }
  ASSERT_TRUE(Open(5));
  port_.SetBaud(0);  // re-clocks the open port, stop bits included
  const termios line = pty_.LineSettings();
  EXPECT_EQ(cfgetospeed(&line), speed_t{B115200});
  EXPECT_TRUE(line.c_cflag & CSTOPB);
}

TEST_F(ComPortTest, BytesPassBothWaysUnchangedReadNeverWaitsPurgeDrops) {
  ASSERT_TRUE(Open());
  std::uint8_t buffer[1024];
  auto sendAndWait = [&](const Bytes& bytes) {
    pty_.Send(bytes);
    ASSERT_TRUE(pty_.WaitPendingAtHost(static_cast<int>(bytes.size())));
  };
  EXPECT_EQ(port_.Read(buffer, sizeof buffer), 0);
  // Every byte value, and more than the line buffers: the device reads while
  // the write runs.
  Bytes stream(200000);
  for (std::size_t i = 0; i < stream.size(); ++i) stream[i] = i ^ (i >> 8);
  Bytes arrived;
  std::thread device([&] { arrived = pty_.Receive(stream.size()); });
  EXPECT_EQ(WriteBytes(port_, stream), static_cast<int>(stream.size()));
  device.join();
  EXPECT_EQ(arrived, stream);

  stream.resize(3000);
  sendAndWait(stream);
  Bytes got;
  for (int calls = 0; calls < 10 && got.size() < stream.size(); ++calls) {
    const int n = port_.Read(buffer, 1024);
    ASSERT_TRUE(n >= 0 && n <= 1024) << n;
    got.insert(got.end(), buffer, buffer + n);
  }
  EXPECT_EQ(got, stream);
  EXPECT_EQ(port_.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(pty_.PendingAtDevice(), 0) << "nothing may echo back";

  // A purge drops what waits in the system's queue and in the port's buffer.
  sendAndWait({'a', 'b', 'c'});
  port_.PurgeReceive();  // still in the system's queue
  sendAndWait({'d', 'e', 'f'});
  EXPECT_EQ(port_.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], 'd');
  port_.PurgeReceive();  // already in the port's own buffer
  EXPECT_EQ(port_.Read(buffer, 1), 0);
  sendAndWait({'Q'});
  EXPECT_EQ(port_.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], 'Q');
}

TEST_F(ComPortTest, WriteToAStuckLineGivesUpWithTheCountHandedOver) {
  ASSERT_TRUE(Open());
  const Bytes flood(1 << 20, 0x55);  // the device never reads
  const int written = WriteBytes(port_, flood);
  EXPECT_GT(written, 0);
  EXPECT_LT(written, static_cast<int>(flood.size()));
  EXPECT_TRUE(port_.IsOpen());
  // What was left over must not trail into the next exchange.
  pty_.Receive(flood.size(), 100);
  EXPECT_EQ(WriteBytes(port_, {1, 2}), 2);
  EXPECT_EQ(pty_.Receive(2), (Bytes{1, 2}));
  EXPECT_EQ(pty_.PendingAtDevice(), 0);
}

TEST_F(ComPortTest, ClosedUnopenableOrTakenPortTransfersNothing) {
  std::uint8_t byte = 0x41;
  EXPECT_EQ(port_.Write(&byte, 1), -1);
  EXPECT_EQ(port_.Read(&byte, 1), -1);
  port_.PurgeReceive();
  port_.SetDtr(true);
  // COM5 is linked to nothing that exists.
  std::filesystem::create_symlink(pty_.folder() / "gone",
                                  pty_.folder() / "COM5");
  for (const char* number : {"0", "abc", "5"})
    EXPECT_FALSE(port_.OpenPort(number, 0, 0)) << number;
  EXPECT_FALSE(port_.IsOpen());
  // A failed open does not spoil the next one, nor closing twice.
  ASSERT_TRUE(Open());
  ComPort other(pty_.folder(), 200);
  EXPECT_FALSE(other.OpenPort("6", 0, 0)) << "exclusive";
  port_.ClosePort();
  port_.ClosePort();
  EXPECT_EQ(port_.Write(&byte, 1), -1);
  EXPECT_EQ(pty_.PendingAtDevice(), 0);
  EXPECT_TRUE(other.OpenPort("6", 0, 0));
}

// A loss noticed by a read is the reconnect case below.
TEST_F(ComPortTest, LossIsNoticedByTheEventLoopAndReportedOnce) {
  port_.SetOnLost([this] { ++lost_; });
  ASSERT_TRUE(Open());
  pty_.Vanish();
  for (int turn = 0; turn < 100 && lost_ == 0; ++turn)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
  EXPECT_EQ(lost_, 1);
  EXPECT_FALSE(port_.IsOpen());
  // Later calls fail at once instead of spinning or reporting again.
  std::uint8_t buffer[3] = {1, 2, 3};
  EXPECT_EQ(port_.Read(buffer, 3), -1);
  EXPECT_EQ(port_.Write(buffer, 3), -1);
  EXPECT_EQ(lost_, 1);
}

TEST_F(ComPortTest, LossCallbackMayReconnectToAnotherPort) {
  PseudoTerminal spare;
  ASSERT_TRUE(spare.ok());
  // The spare folder also links COM7 to the fixture's healthy terminal.
  std::filesystem::create_symlink(
      std::filesystem::read_symlink(pty_.folder() / "COM6"),
      spare.folder() / "COM7");
  ComPort port(spare.folder(), 200);
  port.SetOnLost([&] {
    ++lost_;
    EXPECT_TRUE(port.OpenPort("7", 0, 0));
  });
  ASSERT_TRUE(port.OpenPort("6", 0, 0));
  spare.Vanish();
  std::uint8_t byte = 0;
  EXPECT_EQ(port.Read(&byte, 1), -1);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(WriteBytes(port, {'o', 'k'}), 2);
  EXPECT_EQ(pty_.Receive(2), (Bytes{'o', 'k'}));
  // The loss queued for the event loop must not close the new port.
  for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(lost_, 1);
}

}  // namespace
}  // namespace kestrix
