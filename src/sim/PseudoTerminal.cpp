#include "sim/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <thread>

namespace kestrix::sim {

namespace {

constexpr std::string_view kPtySlaveFolder = "/dev/pts/";

// A link an earlier run left behind: it leads to a pty slave that is gone.
// A link to anything else (a real adapter, a live pty) belongs to someone.
bool IsStalePtyLink(const std::string& link) {
  struct stat st {};
  if (::lstat(link.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
  char target[PATH_MAX];
  const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
  if (n <= 0) return false;
  const std::string_view to(target, static_cast<std::size_t>(n));
  return to.starts_with(kPtySlaveFolder) && ::stat(link.c_str(), &st) != 0;
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  char name[PATH_MAX];
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
      ::ptsname_r(master_, name, sizeof name) != 0) {
    return;
  }
  slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
  termios raw{};
  if (slave_ < 0 || ::tcgetattr(slave_, &raw) != 0) return;
  // Raw until the host configures it: no echo or line editing of its own.
  ::cfmakeraw(&raw);
  ::tcsetattr(slave_, TCSANOW, &raw);
  slavePath_ = name;
}

PseudoTerminal::~PseudoTerminal() {
  Unlink();
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
}

bool PseudoTerminal::Link(const std::string& folder, int comNumber) {
  if (!ok() || !linkPath_.empty()) return false;
  const std::string link = folder + "/COM" + std::to_string(comNumber);
  if (IsStalePtyLink(link)) ::unlink(link.c_str());
  if (::symlink(slavePath_.c_str(), link.c_str()) != 0) return false;
  linkPath_ = link;
  return true;
}

void PseudoTerminal::Unlink() {
  if (!linkPath_.empty()) ::unlink(linkPath_.c_str());
  linkPath_.clear();
}

void PseudoTerminal::Send(const std::vector<std::uint8_t>& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::vector<std::uint8_t> PseudoTerminal::Receive(std::size_t count,
                                                  int idleMs) {
  std::vector<std::uint8_t> got;
  std::uint8_t chunk[4096];
  while (got.size() < count) {
    pollfd wait{master_, POLLIN, 0};
    if (::poll(&wait, 1, idleMs) <= 0) break;
    ssize_t n = ::read(master_, chunk, sizeof chunk);
    if (n <= 0) break;
    got.insert(got.end(), chunk, chunk + n);
  }
  return got;
}

int PseudoTerminal::PendingAtDevice() const {
  int n = 0;
  return ::ioctl(master_, FIONREAD, &n) == 0 ? n : -1;
}

bool PseudoTerminal::WaitPendingAtHost(int count) {
  // The kernel hands master writes to the slave asynchronously.
  for (int tries = 0; tries < 200; ++tries) {
    int n = 0;
    if (::ioctl(slave_, FIONREAD, &n) == 0 && n >= count) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

termios PseudoTerminal::LineSettings() const {
  termios settings{};
  ::tcgetattr(slave_, &settings);
  return settings;
}

void PseudoTerminal::Vanish() {
  ::close(master_);
  master_ = -1;
}

}  // namespace kestrix::sim
