// kestrix-sim: a simulated Propeller on a pseudo-terminal, linked as COM<n>
// where Kestrix looks for its port, playing the demo or a recorded stream.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "P1BootAdapter.h"
#include "PtyLink.h"
#include "SimOptions.h"
#include "sim/DemoDevice.h"
#include "sim/DemoFiles.h"

namespace {

using kestrix::simtool::SimOptions;

// The program sets the line up after opening it; bytes sent meanwhile could
// meet a half-configured terminal.
constexpr int kTitleDelayMs = 60;
constexpr int kIdlePollMs = 20;
constexpr int kBusyPollMs = 5;

// The one piece of state a signal handler can reach: it only writes a byte
// here, and the serving loop watches the other end.
int stopPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t ignored = write(stopPipe[1], &byte, 1);
}

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Writes a sample only where no entry of that name is: a sample the user
// edited stays, and a link of that name is never followed out of the
// folder (O_EXCL fails on any existing entry, dangling links included).
bool WriteSampleIfAbsent(const std::filesystem::path& path,
                         const std::string& bytes) {
  const int fd =
      open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return errno == EEXIST;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  close(fd);
  return done == bytes.size();
}

bool WriteSamples(const std::filesystem::path& folder) {
  using namespace kestrix::sim;
  const std::pair<const char*, std::string> samples[] = {
      {kDemoTextName, DemoTextContent()},
      {kDemoBinaryName, DemoBinaryContent()},
      {kBlinkBinaryName, BlinkBinaryContent()},
      {kBlinkEepromName, BlinkEepromContent()},
      {kBlinkObjName, BlinkObjContent()}};
  for (const auto& [name, bytes] : samples) {
    if (!WriteSampleIfAbsent(folder / name, bytes)) return false;
  }
  return true;
}

// Serves the line until a stop signal: the demo device, or the script.
void Serve(int master, const SimOptions& options, const std::string& script) {
  kestrix::simtool::P1BootAdapter rom;
  kestrix::sim::DemoDevice device(rom);
  bool connected = false;
  std::int64_t startAt = -1, scriptStart = -1;
  std::size_t scriptSent = 0;
  std::string out;
  std::uint8_t buffer[4096];

  for (;;) {
    pollfd fds[2] = {
        {stopPipe[0], POLLIN, 0},
        {master, static_cast<short>(out.empty() ? POLLIN : POLLIN | POLLOUT),
         0}};
    // Without a reader on the slave side the master reports a hang-up at
    // once; then only the stop pipe is watched for a while.
    if (poll(fds, 2, connected ? kBusyPollMs : kIdlePollMs) > 0 &&
        (fds[0].revents & POLLIN)) {
      return;
    }
    const std::int64_t now = NowMs();
    if (fds[1].revents & POLLHUP) {
      if (connected) std::cout << "The window closed the line." << std::endl;
      connected = false;
      out.clear();
      if (poll(fds, 1, kIdlePollMs) > 0) return;
      continue;
    }
    if (!connected) {
      connected = true;
      startAt = now + kTitleDelayMs;
      std::cout << "The window opened the line." << std::endl;
    }
    if (fds[1].revents & POLLIN) {
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n > 0 && script.empty()) {
        device.OnHostBytes(buffer, static_cast<int>(n), now);
      }
    }
    if (startAt >= 0 && now >= startAt) {
      startAt = -1;
      if (script.empty()) device.ShowTitle();
      scriptStart = now;
      scriptSent = 0;
    }
    if (script.empty()) {
      device.Tick(now);
      for (int got; (got = device.TakeReplies(buffer, sizeof buffer)) > 0;) {
        out.append(reinterpret_cast<char*>(buffer),
                   static_cast<std::size_t>(got));
      }
      for (const std::string& line : device.TakeLog()) {
        std::cout << line << std::endl;
      }
    } else if (scriptStart >= 0 && scriptSent < script.size()) {
      std::size_t due = script.size();
      if (options.rate > 0) {
        due = std::min<std::size_t>(
            due, static_cast<std::size_t>((now - scriptStart) * options.rate /
                                          1000));
      }
      if (due > scriptSent) {
        out.append(script, scriptSent, due - scriptSent);
        scriptSent = due;
        if (scriptSent == script.size()) {
          std::cout << "The script has been sent (" << script.size()
                    << " bytes)." << std::endl;
        }
      }
    }
    if (!out.empty()) {
      const ssize_t n = write(master, out.data(), out.size());
      if (n > 0) out.erase(0, static_cast<std::size_t>(n));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  SimOptions options;
  const std::string error = kestrix::simtool::ParseSimOptions(
      std::vector<std::string>(argv + 1, argv + argc), options);
  if (!error.empty()) {
    std::cerr << "kestrix-sim: " << error << std::endl;
    return 2;
  }
  if (options.help) {
    std::cout << kestrix::simtool::SimUsage();
    return 0;
  }
  std::error_code ignored;
  if (!std::filesystem::is_directory(options.folder, ignored)) {
    std::cerr << "kestrix-sim: no such folder: " << options.folder << std::endl;
    return 2;
  }
  std::string script;
  if (!options.script.empty()) {
    std::ifstream in(options.script, std::ios::binary);
    if (!in) {
      std::cerr << "kestrix-sim: cannot read " << options.script << std::endl;
      return 2;
    }
    script.assign(std::istreambuf_iterator<char>(in), {});
  }

  // Everything is ready before the link appears: the program may open the
  // port and the device ask for its files at once, and a stop signal that
  // follows at once must still remove the link.
  std::string why = kestrix::simtool::LinkRefusal(options.folder, options.port);
  if (!why.empty()) {
    std::cerr << "kestrix-sim: " << why << std::endl;
    return 1;
  }
  const std::filesystem::path folder(options.folder);
  if (script.empty() && !WriteSamples(folder)) {
    std::cerr << "kestrix-sim: cannot write the demo files in "
              << options.folder << std::endl;
    return 1;
  }
  if (pipe(stopPipe) != 0) return 1;
  fcntl(stopPipe[1], F_SETFL, O_NONBLOCK);
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGPIPE, SIG_IGN);

  auto link =
      kestrix::simtool::PtyLink::Open(options.folder, options.port, why);
  if (!link) {
    std::cerr << "kestrix-sim: " << why << std::endl;
    return 1;
  }
  std::cout << "kestrix-sim: " << link->linkPath() << " -> "
            << link->slavePath() << " plays a Propeller "
            << (script.empty() ? "running the demo"
                               : "sending " + options.script)
            << "; start Kestrix in that folder (port COM" << options.port
            << "). Ctrl+C stops it and removes the link." << std::endl;
  Serve(link->master(), options, script);
  std::cout << "kestrix-sim: stopped, " << link->linkPath() << " removed."
            << std::endl;
  return 0;
}
