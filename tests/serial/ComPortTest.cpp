#include <gtest/gtest.h>

#include <QCoreApplication>
#include <thread>
#include <vector>

#include "serial/ComPort.h"
#include "serial/PseudoTerminal.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::BaudOf;
using test::PseudoTerminal;

// Collects what the port returns, calling Read until count bytes have come
// or a bounded number of polls found nothing.
Bytes ReadUpTo(ComPort& port, std::size_t count) {
  Bytes got;
  std::uint8_t chunk[2048];
  for (int idle = 0; got.size() < count && idle < 400;) {
    const int n = port.Read(chunk, sizeof chunk);
    if (n > 0) {
      got.insert(got.end(), chunk, chunk + n);
      idle = 0;
    } else {
      ++idle;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  return got;
}

int WriteBytes(ComPort& port, const Bytes& bytes) {
  return port.Write(bytes.data(), static_cast<int>(bytes.size()));
}

class ComPortTest : public ::testing::Test {
 protected:
  ComPortTest() : app_(argc_, argv_) {}

  void SetUp() override { ASSERT_TRUE(pty_.ok()); }

  bool Open(int baudIndex = 0, int ft232r = 0) {
    return port_.OpenPort(PseudoTerminal::kNumber, baudIndex, ft232r);
  }

  int argc_ = 1;
  char name_[16] = "serial_tests";
  char* argv_[2] = {name_, nullptr};
  QCoreApplication app_;
  PseudoTerminal pty_;
  ComPort port_{pty_.folder(), 200};
};

TEST_F(ComPortTest, LineSettingsFollowTheBaudIndex) {
  const struct {
    int index;
    int baud;
    bool twoStopBits;
  } cases[] = {
      {-1, 115200, true}, {0, 115200, true},   {1, 57600, false},
      {2, 38400, false},  {3, 19200, false},   {4, 9600, false},
      {5, 4800, false},   {6, 2400, false},    {7, 1200, false},
      {8, 115200, false}, {-40, 115200, true}, {1000, 115200, false},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(Open(c.index)) << c.index;
    const termios line = pty_.LineSettings();
    EXPECT_EQ(BaudOf(cfgetospeed(&line)), c.baud) << c.index;
    EXPECT_EQ(BaudOf(cfgetispeed(&line)), c.baud) << c.index;
    EXPECT_EQ((line.c_cflag & CSTOPB) != 0, c.twoStopBits) << c.index;
    // Eight bits, raw, without parity or flow control.
    EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CRTSCTS | CREAD | CLOCAL),
              static_cast<tcflag_t>(CS8 | CREAD | CLOCAL));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR |
                              ISTRIP | INPCK),
              0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    port_.ClosePort();
  }
}

TEST_F(ComPortTest, ReadNeverWaitsIsBoundedByMaxAndTakesEveryByteValue) {
  ASSERT_TRUE(Open());
  std::uint8_t buffer[1024];
  EXPECT_EQ(port_.Read(buffer, sizeof buffer), 0);

  // Every byte value, control bytes a cooked line would eat or turn
  // included (both directions: the write test sends every value too).
  Bytes stream(3000);
  for (std::size_t i = 0; i < stream.size(); ++i) {
    stream[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
  }
  pty_.Send(stream);
  ASSERT_TRUE(pty_.WaitPendingAtPort(static_cast<int>(stream.size())));
  Bytes got;
  for (int calls = 0; calls < 10 && got.size() < stream.size(); ++calls) {
    const int n = port_.Read(buffer, 1024);
    ASSERT_GE(n, 0);
    ASSERT_LE(n, 1024);
    got.insert(got.end(), buffer, buffer + n);
  }
  EXPECT_EQ(got, stream);
  EXPECT_EQ(port_.Read(buffer, sizeof buffer), 0);
  // Nothing may echo back to the device.
  EXPECT_EQ(pty_.PendingAtDevice(), 0);
}

TEST_F(ComPortTest, WriteHandsOverEveryByteBeforeReturning) {
  ASSERT_TRUE(Open());
  // Far more than QSerialPort writes in one go and than the line buffers, so
  // the device must read while the write runs.
  Bytes image(200000);
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<std::uint8_t>(i ^ (i >> 8));
  }
  Bytes arrived;
  std::thread device([&] { arrived = pty_.Receive(image.size()); });
  const int written = WriteBytes(port_, image);
  device.join();
  EXPECT_EQ(written, static_cast<int>(image.size()));
  EXPECT_EQ(arrived, image);
}

TEST_F(ComPortTest, WriteToAStuckLineGivesUpWithTheCountHandedOver) {
  ASSERT_TRUE(Open());
  // The device never reads, so the line fills up and stays full.
  Bytes flood(1 << 20, 0x55);
  const int written = WriteBytes(port_, flood);
  EXPECT_GT(written, 0);
  EXPECT_LT(written, static_cast<int>(flood.size()));
  EXPECT_TRUE(port_.IsOpen());

  // What was left over must not trail into the next exchange.
  pty_.Receive(flood.size(), 100);
  const Bytes next = {0x01, 0x02};
  EXPECT_EQ(WriteBytes(port_, next), 2);
  EXPECT_EQ(pty_.Receive(2), next);
  EXPECT_EQ(pty_.PendingAtDevice(), 0);
}

TEST_F(ComPortTest, SetBaudChangesRateOnlyWhileOpen) {
  ASSERT_TRUE(Open(3));
  port_.SetBaud(0);
  termios line = pty_.LineSettings();
  EXPECT_EQ(BaudOf(cfgetospeed(&line)), 115200);
  EXPECT_NE(line.c_cflag & CSTOPB, 0u);
  port_.SetBaud(5);
  line = pty_.LineSettings();
  EXPECT_EQ(BaudOf(cfgetospeed(&line)), 4800);
  EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
  EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));

  port_.ClosePort();
  const termios closed = pty_.LineSettings();
  port_.SetBaud(1);
  line = pty_.LineSettings();
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(cfgetospeed(&line), cfgetospeed(&closed));
  EXPECT_EQ(line.c_cflag, closed.c_cflag);

  // The next open applies its own index, and opening again replaces it.
  ASSERT_TRUE(Open(2));
  ASSERT_TRUE(Open(1));
  line = pty_.LineSettings();
  EXPECT_EQ(BaudOf(cfgetospeed(&line)), 57600);
  const Bytes hello = {'h', 'i'};
  EXPECT_EQ(WriteBytes(port_, hello), 2);
  EXPECT_EQ(pty_.Receive(2), hello);
}

TEST_F(ComPortTest, PurgeDropsQueuedAndBufferedInput) {
  ASSERT_TRUE(Open());
  const Bytes marker = {'Q'};
  std::uint8_t byte = 0;

  // Still in the system's queue.
  pty_.Send({'x', 'y', 'z'});
  ASSERT_TRUE(pty_.WaitPendingAtPort(3));
  port_.PurgeReceive();
  pty_.Send(marker);
  EXPECT_EQ(ReadUpTo(port_, 1), marker);

  // Already pulled into the port's own buffer by a short read.
  pty_.Send({'a', 'b', 'c'});
  ASSERT_TRUE(pty_.WaitPendingAtPort(3));
  ASSERT_EQ(port_.Read(&byte, 1), 1);
  EXPECT_EQ(byte, 'a');
  port_.PurgeReceive();
  EXPECT_EQ(port_.Read(&byte, 1), 0);
  pty_.Send(marker);
  EXPECT_EQ(ReadUpTo(port_, 1), marker);
}

TEST_F(ComPortTest, ClosedOrUnopenablePortTransfersNothing) {
  std::uint8_t byte = 0x41;
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(port_.Write(&byte, 1), -1);
  EXPECT_EQ(port_.Read(&byte, 1), -1);
  EXPECT_EQ(WriteRaw(port_, &byte, 1), 0);
  EXPECT_EQ(ReadRaw(port_, &byte, 1), 0);
  port_.PurgeReceive();
  port_.SetDtr(true);
  port_.SetRts(true);

  EXPECT_FALSE(port_.OpenPort("0", 0, 0));
  EXPECT_FALSE(port_.OpenPort("-1", 0, 0));
  EXPECT_FALSE(port_.OpenPort("abc", 0, 0));
  // COM5 is linked to nothing that exists.
  std::filesystem::create_symlink(pty_.folder() / "gone",
                                  pty_.folder() / "COM5");
  EXPECT_FALSE(port_.OpenPort("5", 0, 0));
  EXPECT_FALSE(port_.IsOpen());

  // A failed open does not spoil the next one, nor closing twice.
  ASSERT_TRUE(Open());
  port_.ClosePort();
  port_.ClosePort();
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(port_.Write(&byte, 1), -1);
  EXPECT_EQ(pty_.PendingAtDevice(), 0);
  EXPECT_TRUE(Open());
}

TEST_F(ComPortTest, OpeningIsExclusive) {
  ASSERT_TRUE(Open());
  ComPort other(pty_.folder(), 200);
  EXPECT_FALSE(other.OpenPort(PseudoTerminal::kNumber, 0, 0));
  port_.ClosePort();
  EXPECT_TRUE(other.OpenPort(PseudoTerminal::kNumber, 0, 0));
}

// The device vanishing while the port is open.
class LostPortTest : public ComPortTest {
 protected:
  void SetUp() override {
    ComPortTest::SetUp();
    port_.SetOnLost([this] { ++lost_; });
    ASSERT_TRUE(Open());
  }
  int lost_ = 0;
};

TEST_F(LostPortTest, ReadOrWriteNoticesTheLossAndClosesOnce) {
  std::uint8_t buffer[64] = {1, 2, 3};
  pty_.Vanish();
  int calls = 0;
  while (port_.IsOpen() && calls < 3) {
    port_.Read(buffer, sizeof buffer);
    ++calls;
  }
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_EQ(lost_, 1);
  // Later calls fail at once instead of spinning or reporting again.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(port_.Read(buffer, sizeof buffer), -1);
  EXPECT_EQ(port_.Write(buffer, 3), -1);
  QCoreApplication::processEvents();
  EXPECT_EQ(lost_, 1);

  // The same through a write.
  PseudoTerminal other;
  ASSERT_TRUE(other.ok());
  ComPort port(other.folder(), 200);
  int lost = 0;
  port.SetOnLost([&] { ++lost; });
  ASSERT_TRUE(port.OpenPort(PseudoTerminal::kNumber, 0, 0));
  other.Vanish();
  EXPECT_EQ(port.Write(buffer, 3), -1);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(port.Write(buffer, 3), -1);
  QCoreApplication::processEvents();
  EXPECT_EQ(lost, 1);
}

TEST_F(LostPortTest, EventLoopNoticesTheLossWithoutReadOrWrite) {
  pty_.Vanish();
  for (int turn = 0; turn < 100 && lost_ == 0; ++turn) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_EQ(lost_, 1);
  EXPECT_FALSE(port_.IsOpen());
  for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
  EXPECT_EQ(lost_, 1);
}

TEST_F(LostPortTest, ClosingByChoiceIsNoLoss) {
  port_.ClosePort();
  pty_.Vanish();
  std::uint8_t byte = 0;
  EXPECT_EQ(port_.Read(&byte, 1), -1);
  for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
  EXPECT_EQ(lost_, 0);
}

TEST_F(LostPortTest, CallbackMayReconnectToAnotherPort) {
  port_.ClosePort();
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
  ASSERT_TRUE(port.OpenPort(PseudoTerminal::kNumber, 0, 0));
  spare.Vanish();
  std::uint8_t byte = 0;
  EXPECT_EQ(port.Read(&byte, 1), -1);
  EXPECT_EQ(lost_, 1);
  ASSERT_TRUE(port.IsOpen());
  const Bytes hello = {'o', 'k'};
  EXPECT_EQ(WriteBytes(port, hello), 2);
  EXPECT_EQ(pty_.Receive(2), hello);
  // The loss queued for the event loop must not close the new port.
  for (int turn = 0; turn < 10; ++turn) QCoreApplication::processEvents();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(lost_, 1);
}

}  // namespace
}  // namespace kestrix
