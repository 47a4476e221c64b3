#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace kestrix::test {

// kestrix-sim as a child process, its output discarded.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    args.insert(args.begin(), KESTRIX_SIM_EXECUTABLE);
    pid_ = fork();
    if (pid_ == 0) {
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  ~SimProcess() {
    if (pid_ > 0 && Exit(0) == kRunning) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  static constexpr int kRunning = -1;
  // The exit status once it has ended within `ms`, else kRunning.
  int Exit(int ms) {
    for (int waited = 0;; waited += 5) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
      }
      if (waited >= ms) return kRunning;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  void Signal(int number) { kill(pid_, number); }

 private:
  pid_t pid_ = -1;
};

// Waits up to 2 s for `path` to be a link.
inline bool LinkAppears(const std::filesystem::path& path) {
  for (int i = 0; i < 400; ++i) {
    if (std::filesystem::is_symlink(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

}  // namespace kestrix::test
