#include "serial/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace kestrix::test {

PseudoTerminal::PseudoTerminal() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "kestrix-pty-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return;
  folder_ = pattern;
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  const char* slaveName =
      master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0
          ? ::ptsname(master_)
          : nullptr;
  if (slaveName == nullptr) return;
  slave_ = ::open(slaveName, O_RDWR | O_NOCTTY | O_NONBLOCK);
  std::filesystem::create_symlink(slaveName,
                                  folder_ / (std::string("COM") + kNumber));
}

PseudoTerminal::~PseudoTerminal() {
  if (slave_ >= 0) ::close(slave_);
  if (master_ >= 0) ::close(master_);
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
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

bool PseudoTerminal::WaitPendingAtPort(int count) {
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

}  // namespace kestrix::test
