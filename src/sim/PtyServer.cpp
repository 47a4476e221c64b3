#include "sim/PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <vector>

namespace kestrix::sim {

namespace {

std::int64_t SteadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

bool PtyServer::Start(const std::string& linkFolder, int comNumber) {
  if (pty_) return false;
  pty_ = std::make_unique<PseudoTerminal>();
  if (!pty_->ok() ||
      (!linkFolder.empty() && !pty_->Link(linkFolder, comNumber))) {
    pty_.reset();
    return false;
  }
  const int master = pty_->master();
  ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
  startNs_ = SteadyNs();
  stop_ = false;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void PtyServer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  pty_.reset();
}

void PtyServer::Serve() {
  const int master = pty_->master();
  std::vector<std::uint8_t> outgoing;
  std::uint8_t buffer[1024];
  while (!stop_) {
    pollfd pfd{master, static_cast<short>(POLLIN), 0};
    if (!outgoing.empty()) pfd.events |= POLLOUT;
    const int ready = ::poll(&pfd, 1, 5);
    if (ready < 0 && errno != EINTR) break;
    ssize_t n = ready > 0 && (pfd.revents & POLLIN)
                    ? ::read(master, buffer, sizeof buffer)
                    : 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (n > 0) {
        const std::int64_t nowMs = (SteadyNs() - startNs_) / 1'000'000;
        device_.OnHostBytes(buffer, static_cast<int>(n), nowMs);
      }
      // Also between host bytes: a device may speak on its own.
      std::uint8_t reply[1024];
      for (int got; (got = device_.TakeReplies(reply, sizeof reply)) > 0;) {
        outgoing.insert(outgoing.end(), reply, reply + got);
      }
    }
    if (!outgoing.empty()) {
      n = ::write(master, outgoing.data(), outgoing.size());
      if (n > 0) outgoing.erase(outgoing.begin(), outgoing.begin() + n);
    }
  }
}

}  // namespace kestrix::sim
