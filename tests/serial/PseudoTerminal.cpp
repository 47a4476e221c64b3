#include "serial/PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <utility>

namespace kestrix::test {

PseudoTerminal::PseudoTerminal() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "kestrix-pty-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return;
  folder_ = pattern;

  master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
    return;
  }
  const char* slaveName = ::ptsname(master_);
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
  std::size_t done = 0;
  while (done < bytes.size()) {
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

int PseudoTerminal::PendingAtPort() const {
  int n = 0;
  return ::ioctl(slave_, FIONREAD, &n) == 0 ? n : -1;
}

bool PseudoTerminal::WaitPendingAtPort(int count) {
  // The kernel hands master writes to the slave asynchronously.
  for (int tries = 0; tries < 200; ++tries) {
    if (PendingAtPort() >= count) return true;
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

int BaudOf(speed_t speed) {
  const std::pair<speed_t, int> rates[] = {
      {B1200, 1200},   {B2400, 2400},   {B4800, 4800},   {B9600, 9600},
      {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
  for (auto [constant, baud] : rates) {
    if (constant == speed) return baud;
  }
  return 0;
}

}  // namespace kestrix::test
