// The simulated chip behind a real pseudo-terminal, driven over the slave
// device with plain POSIX I/O.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "loader/BootProtocol.h"
#include "loader/PulseReset.h"
#include "loader/RecordingOutput.h"
#include "support/FakePort.h"
#include "support/PtyPropeller.h"
#include "support/VirtualClock.h"

namespace kestrix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Lines = std::vector<std::string>;

int OpenDevice(const std::string& path) {
  return open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
}

void WriteAll(int fd, const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else {
      pollfd pfd{fd, POLLOUT, 0};
      poll(&pfd, 1, 100);
    }
  }
}

// Reads until count bytes came or the line stayed quiet for quietMs.
Bytes ReadUpTo(int fd, std::size_t count, int quietMs) {
  Bytes got;
  std::uint8_t buffer[512];
  while (got.size() < count) {
    pollfd pfd{fd, POLLIN, 0};
    if (poll(&pfd, 1, quietMs) <= 0) break;
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) got.insert(got.end(), buffer, buffer + n);
  }
  return got;
}

// The 509 bytes a host sends to start a handshake, as the protocol code
// builds them (their content is checked against literal bits elsewhere).
Bytes HandshakeBurst() {
  test::FakePort port;
  test::VirtualClock clock;
  test::RecordingOutput output;
  BootProtocol(port, clock, output).Handshake();
  return port.Written();
}

// The serial device as the protocol sees it, on a file descriptor. A pty
// has no modem lines, so the reset pulse only waits and purges.
class FdPort : public BytePort {
 public:
  explicit FdPort(int fd) : fd_(fd) {}
  bool IsOpen() const override { return fd_ >= 0; }
  int Write(const std::uint8_t* data, int count) override {
    ssize_t n = write(fd_, data, count);
    return n < 0 ? -1 : static_cast<int>(n);
  }
  int Read(std::uint8_t* data, int max) override {
    ssize_t n = read(fd_, data, max);
    if (n < 0) return errno == EAGAIN ? 0 : -1;
    return static_cast<int>(n);
  }
  void PurgeReceive() override { tcflush(fd_, TCIFLUSH); }
  void SetDtr(bool) override {}
  void SetRts(bool) override {}

 private:
  int fd_;
};

// Real sleeps, stretched so that a busy machine cannot starve the serving
// thread within a budget; the protocol still counts the nominal time.
class SlackClock : public Clock {
 public:
  LocalDateTime Now() override { return {}; }
  void SleepMs(int ms) override {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms * 2));
  }
  std::int64_t MonotonicMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
};

TEST(PtyPropeller, AnswersLiteralBytesAndRestartsOnlyAfterQuiet) {
  test::PtyPropeller pty;
  ASSERT_TRUE(pty.Start());
  int fd = OpenDevice(pty.SlavePath());
  ASSERT_GE(fd, 0);

  Bytes wrong = HandshakeBurst();
  wrong[2] ^= 0x01;
  WriteAll(fd, wrong);
  EXPECT_TRUE(ReadUpTo(fd, 1, 200).empty());
  EXPECT_EQ(pty.ChipPhase(), test::SimulatedPropeller::Phase::kRejected);

  // Calibration straight after would still be the old session; after a
  // quiet gap it starts a new one.
  std::this_thread::sleep_for(std::chrono::milliseconds(2 * 50));
  WriteAll(fd, HandshakeBurst());
  Bytes replies = ReadUpTo(fd, 258, 1000);
  ASSERT_EQ(replies.size(), 258u);
  EXPECT_EQ(Bytes(replies.begin(), replies.begin() + 8),
            (Bytes{0xFE, 0xFF, 0xFE, 0xFE, 0xFE, 0xFE, 0xFF, 0xFE}));
  EXPECT_EQ(Bytes(replies.end() - 8, replies.end()),
            (Bytes{0xFF, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE, 0xFE}));
  EXPECT_EQ(pty.Sessions(), 2);

  // Load into RAM, one long of value 3, then clock the checksum.
  Bytes load(33, 0x92);
  for (int end : {10, 21, 32}) load[end] = 0xF2;
  load[0] = load[11] = 0x93;
  load[22] = 0x9B;
  load.push_back(0xF9);
  WriteAll(fd, load);
  EXPECT_EQ(ReadUpTo(fd, 1, 1000), (Bytes{0xFE}));
  ASSERT_TRUE(pty.WaitBetweenSessions(1000));
  auto record = pty.LastRecord();
  EXPECT_TRUE(record.hostBitsOk);
  EXPECT_EQ(record.command, 1);
  EXPECT_EQ(record.longs, (std::vector<std::uint32_t>{3}));
  EXPECT_EQ(pty.ChipPhase(), test::SimulatedPropeller::Phase::kRunning);
  close(fd);
}

TEST(PtyPropeller, BootsImagesThroughTheProtocolAcrossReopenedSessions) {
  char folder[] = "/tmp/kestrix-pty-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  test::PtyPropeller pty;
  ASSERT_TRUE(pty.Start(folder, 6));
  std::string link = std::string(folder) + "/COM6";
  EXPECT_EQ(pty.LinkPath(), link);
  char target[256] = {};
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(std::string(target), pty.SlavePath());

  for (int round = 1; round <= 2; ++round) {
    // The host closes and reopens the device between sessions.
    int fd = OpenDevice(link);
    ASSERT_GE(fd, 0);
    FdPort port(fd);
    SlackClock clock;
    test::RecordingOutput output;
    BootProtocol protocol(port, clock, output);
    LoaderImage image{};
    for (int i = 0; i < 10 * round; ++i) image[i] = 0x01010101u * (i + round);

    PulseReset(port, clock, 0);
    ASSERT_EQ(protocol.Handshake(), 1) << round;
    protocol.Download(40 * round, image, 0);
    EXPECT_EQ(output.Lines(),
              (Lines{"Propeller Version = 1",
                     "Write in RAM Lenght=" + std::to_string(40 * round),
                     "Verify ..", "..OK -> RUN"}));
    ASSERT_TRUE(pty.WaitBetweenSessions(1000))
        << static_cast<int>(pty.ChipPhase()) << " round " << round;
    auto record = pty.LastRecord();
    EXPECT_EQ(record.lengthLongs, 10 * round);
    EXPECT_EQ(record.longs, std::vector<std::uint32_t>(
                                image.begin(), image.begin() + 10 * round));
    EXPECT_EQ(pty.Sessions(), round);
    close(fd);
  }

  pty.Stop();
  struct stat st {};
  EXPECT_NE(lstat(link.c_str(), &st), 0) << "link removed on stop";
  rmdir(folder);
}

}  // namespace
}  // namespace kestrix
