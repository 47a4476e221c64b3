#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "support/FakeSerialLine.h"
#include "support/FakeView.h"
#include "support/ScriptedHost.h"
#include "support/VirtualClock.h"
#include "terminal/EmbeddedImages.h"

namespace kestrix::test {

using Lines = std::vector<std::string>;

// A whole program in window mode on doubles: COM6 exists unless a test says
// otherwise, the working folder is a fresh temporary folder, and every double
// writes into one log ("port ...", "host ...", "view ...", "present",
// "sleep 2000").
class ProgramRig {
 public:
  explicit ProgramRig(std::vector<std::string> args = {}) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("kestrix-program-" + std::string(info->test_suite_name()) + "-" +
              info->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::string error;
    auto loaded = LoadEmbeddedImages(&error);
    EXPECT_TRUE(loaded.has_value()) << error;
    if (loaded) images = std::move(*loaded);
    port.existingPorts = {6};
    clock.onSleep = [this](int ms) {
      log.push_back("sleep " + std::to_string(ms));
    };
    program = std::make_unique<Program>(
        ProgramServices{port, clock, host, images, folder},
        ParseCommandLine(args));
  }
  ~ProgramRig() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // The start-up of the window mode, as the window drives it.
  void Start() {
    program->LoadStartupSettings();
    program->AttachWindow(view, presenter);
    program->ConnectAtStartup();
  }
  std::string PathOf(const std::string& name) const {
    return (folder / name).string();
  }
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // The log entries of one double ("port", "host") without that word.
  Lines Of(const std::string& who) const {
    Lines out;
    for (const auto& e : log) {
      if (e.rfind(who + " ", 0) == 0) out.push_back(e.substr(who.size() + 1));
    }
    return out;
  }
  // How many log entries start with `prefix` ("port DTR", "host box").
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const auto& e : log) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  // Index of the first log entry equal to `entry` at or after `from`, or -1.
  int Find(const std::string& entry, int from = 0) const {
    for (int i = from; i < static_cast<int>(log.size()); ++i) {
      if (log[static_cast<std::size_t>(i)] == entry) return i;
    }
    return -1;
  }
  Program& p() { return *program; }
  Settings& settings() { return program->settings; }
  // The checked items among first..last.
  std::vector<int> CheckedAmong(int first, int last) const {
    std::vector<int> ids;
    for (int id = first; id <= last; ++id) {
      if (view.IsChecked(id)) ids.push_back(id);
    }
    return ids;
  }

  Lines log;
  std::filesystem::path folder;
  FakeSerialLine port{log};
  VirtualClock clock;
  ScriptedHost host{log};
  EmbeddedImages images;
  FakeView view{log};
  RecordingPresenter presenter{log};
  std::unique_ptr<Program> program;
};

}  // namespace kestrix::test
