#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kestrix::test {

// kestrix-sim as a child process, its output discarded; killed at the end.
class SimProcess {
 public:
  explicit SimProcess(std::vector<std::string> args) {
    args.insert(args.begin(), KESTRIX_SIM_EXECUTABLE);
    if ((pid_ = fork()) != 0) return;
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int null = open("/dev/null", O_WRONLY);  // async-signal-safe
    dup2(null, 1), dup2(null, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }
  ~SimProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  void Signal(int number) { kill(pid_, number); }
  int Exit() {  // the exit status if it ends within 2 s, else -1
    for (int i = 0, status = 0; i < 400; ++i, usleep(5000)) {
      if (waitpid(pid_, &status, WNOHANG) != pid_) continue;
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
};

// The link's target once it is a link other than `old` (within 2 s).
inline std::filesystem::path NewLinkTarget(const std::filesystem::path& link,
                                           const std::filesystem::path& old) {
  for (int i = 0; i < 400; ++i, usleep(5000)) {
    if (std::filesystem::is_symlink(link) &&
        std::filesystem::read_symlink(link) != old) {
      return std::filesystem::read_symlink(link);
    }
  }
  return {};
}

}  // namespace kestrix::test
