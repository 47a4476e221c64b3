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

}  // namespace

PtyPropeller::PtyPropeller() : PtyPropeller(SimulatedPropeller::Options{}) {}

PtyPropeller::PtyPropeller(SimulatedPropeller::Options options)
    : chip_(std::move(options)) {}

PtyPropeller::~PtyPropeller() { Stop(); }

bool PtyPropeller::Start(const std::string& linkFolder, int comNumber) {
  if (masterFd_ >= 0) return false;
  masterFd_ = posix_openpt(O_RDWR | O_NOCTTY);
  char name[PATH_MAX];
  termios tio{};
  // Holding the slave keeps the master readable while the host reopens it.
  bool ok = masterFd_ >= 0 && grantpt(masterFd_) == 0 &&
            unlockpt(masterFd_) == 0 &&
            ptsname_r(masterFd_, name, sizeof name) == 0 &&
            (slaveHoldFd_ = open(name, O_RDWR | O_NOCTTY)) >= 0 &&
            tcgetattr(slaveHoldFd_, &tio) == 0;
  if (ok) {
    cfmakeraw(&tio);
    ok = tcsetattr(slaveHoldFd_, TCSANOW, &tio) == 0;
  }
  slavePath_ = ok ? name : "";
  if (ok && !linkFolder.empty()) {
    // Replaces a stale link, never anything else.
    const std::string link = linkFolder + "/COM" + std::to_string(comNumber);
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      unlink(link.c_str());
    }
    ok = symlink(name, link.c_str()) == 0;
    if (ok) linkPath_ = link;
  }
  if (!ok) {
    Stop();
    return false;
  }
  fcntl(masterFd_, F_SETFL, fcntl(masterFd_, F_GETFL) | O_NONBLOCK);
  startNs_ = SteadyNs();
  stop_ = false;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void PtyPropeller::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (!linkPath_.empty()) unlink(linkPath_.c_str());
  linkPath_.clear();
  if (slaveHoldFd_ >= 0) close(slaveHoldFd_);
  if (masterFd_ >= 0) close(masterFd_);
  slaveHoldFd_ = -1;
  masterFd_ = -1;
}

void PtyPropeller::Serve() {
  std::vector<std::uint8_t> outgoing;
  std::uint8_t buffer[1024];
  std::int64_t lastByteMs = -kQuietGapMs;
  bool heldCalibration = false;

  while (!stop_) {
    pollfd pfd{masterFd_, static_cast<short>(POLLIN), 0};
    if (!outgoing.empty()) pfd.events |= POLLOUT;
    int ready = poll(&pfd, 1, 5);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;

    ssize_t n =
        (pfd.revents & POLLIN) ? read(masterFd_, buffer, sizeof buffer) : 0;
    if (n > 0) {
      std::int64_t now = (SteadyNs() - startNs_) / 1'000'000;
      std::lock_guard<std::mutex> lock(mutex_);
      chip_.SetNowMs(now);
      for (ssize_t i = 0; i < n; ++i) {
        std::uint8_t byte = buffer[i];
        if (heldCalibration) {
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
      for (int got; (got = chip_.TakeReplies(reply, sizeof reply)) > 0;) {
        outgoing.insert(outgoing.end(), reply, reply + got);
      }
    }
    if (!outgoing.empty()) {
      n = write(masterFd_, outgoing.data(), outgoing.size());
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
