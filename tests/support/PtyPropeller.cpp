#include "support/PtyPropeller.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <vector>

namespace kestrix::test {

namespace {

std::int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool MakeRaw(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return false;
  cfmakeraw(&tio);
  return tcsetattr(fd, TCSANOW, &tio) == 0;
}

// Replaces a stale link of ours; refuses to touch anything that is not a link.
bool PlaceLink(const std::string& link, const std::string& target) {
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) return false;
    if (unlink(link.c_str()) != 0) return false;
  }
  return symlink(target.c_str(), link.c_str()) == 0;
}

}  // namespace

PtyPropeller::PtyPropeller() : PtyPropeller(SimulatedPropeller::Options{}) {}

PtyPropeller::PtyPropeller(SimulatedPropeller::Options options)
    : chip_(std::move(options)) {}

PtyPropeller::~PtyPropeller() { Stop(); }

std::int64_t PtyPropeller::ElapsedMs() const {
  return (SteadyNs() - startNs_) / 1'000'000;
}

bool PtyPropeller::Start(const std::string& linkFolder, int comNumber) {
  if (masterFd_ >= 0) return false;
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) return false;
  char name[PATH_MAX];
  if (grantpt(master) != 0 || unlockpt(master) != 0 ||
      ptsname_r(master, name, sizeof name) != 0) {
    close(master);
    return false;
  }
  // Holding the slave open ourselves keeps the master readable while the
  // host closes and reopens the device between sessions.
  int slave = open(name, O_RDWR | O_NOCTTY);
  if (slave < 0 || !MakeRaw(slave)) {
    if (slave >= 0) close(slave);
    close(master);
    return false;
  }
  int flags = fcntl(master, F_GETFL);
  fcntl(master, F_SETFL, flags | O_NONBLOCK);

  std::string link;
  if (!linkFolder.empty()) {
    link = linkFolder + "/COM" + std::to_string(comNumber);
    if (!PlaceLink(link, name)) {
      close(slave);
      close(master);
      return false;
    }
  }

  masterFd_ = master;
  slaveHoldFd_ = slave;
  slavePath_ = name;
  linkPath_ = link;
  startNs_ = SteadyNs();
  stop_ = false;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void PtyPropeller::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (!linkPath_.empty()) {
    char target[PATH_MAX];
    ssize_t n = readlink(linkPath_.c_str(), target, sizeof target - 1);
    if (n >= 0) {
      target[n] = '\0';
      if (slavePath_ == target) unlink(linkPath_.c_str());
    }
    linkPath_.clear();
  }
  if (slaveHoldFd_ >= 0) close(slaveHoldFd_);
  if (masterFd_ >= 0) close(masterFd_);
  slaveHoldFd_ = -1;
  masterFd_ = -1;
}

void PtyPropeller::Serve() {
  constexpr int kPollMs = 5;
  std::vector<std::uint8_t> outgoing;
  std::uint8_t buffer[1024];
  // So that the very first calibration byte counts as after a quiet gap.
  std::int64_t lastByteMs = -kQuietGapMs;
  bool heldCalibration = false;

  while (!stop_) {
    pollfd pfd{masterFd_, static_cast<short>(POLLIN), 0};
    if (!outgoing.empty()) pfd.events |= POLLOUT;
    int ready = poll(&pfd, 1, kPollMs);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;

    if (pfd.revents & POLLIN) {
      ssize_t n = read(masterFd_, buffer, sizeof buffer);
      if (n > 0) {
        std::int64_t now = ElapsedMs();
        std::lock_guard<std::mutex> lock(mutex_);
        chip_.SetNowMs(now);
        for (ssize_t i = 0; i < n; ++i) {
          std::uint8_t byte = buffer[i];
          if (heldCalibration) {
            // Only a host bit after it makes the held byte a calibration; a
            // lone clock byte of a finished exchange changes nothing.
            heldCalibration = false;
            if (byte == 0xFE || byte == 0xFF) chip_.Reset();
            const std::uint8_t f9 = 0xF9;
            chip_.OnHostBytes(&f9, 1);
          }
          bool afterQuiet = i == 0 && now - lastByteMs >= kQuietGapMs;
          if (byte == 0xF9 && afterQuiet && chip_.BetweenSessions()) {
            heldCalibration = true;
          } else {
            chip_.OnHostBytes(&byte, 1);
          }
        }
        lastByteMs = now;
        std::uint8_t reply[1024];
        int got;
        while ((got = chip_.TakeReplies(reply, sizeof reply)) > 0) {
          outgoing.insert(outgoing.end(), reply, reply + got);
        }
      }
    }
    if (!outgoing.empty()) {
      ssize_t n = write(masterFd_, outgoing.data(), outgoing.size());
      if (n > 0) outgoing.erase(outgoing.begin(), outgoing.begin() + n);
    }
  }
}

SimulatedPropeller::Record PtyPropeller::LastRecord() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return chip_.record();
}

SimulatedPropeller::Phase PtyPropeller::ChipPhase() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return chip_.phase();
}

int PtyPropeller::Sessions() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return chip_.resets();
}

bool PtyPropeller::WaitBetweenSessions(int timeoutMs) const {
  std::int64_t deadline = SteadyNs() + std::int64_t{timeoutMs} * 1'000'000;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (chip_.BetweenSessions()) return true;
    }
    if (SteadyNs() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace kestrix::test
