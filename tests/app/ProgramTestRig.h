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

// A whole program in window mode on doubles: COM6 (the start-up number)
// exists unless a test says otherwise, the working folder is a fresh
// temporary folder, and every double writes into one shared log.
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
    port.sharedLog = &log;
    host.sharedLog = &log;
    view.sharedLog = &log;
    presenter.sharedLog = &log;
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
  // Log entries that start with `prefix`.
  std::vector<std::string> LogOf(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : log) {
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    }
    return out;
  }
  // Index of the first log entry equal to `entry` at or after `from`;
  // -1 when there is none.
  int Find(const std::string& entry, int from = 0) const {
    for (int i = from; i < static_cast<int>(log.size()); ++i) {
      if (log[static_cast<std::size_t>(i)] == entry) return i;
    }
    return -1;
  }

  Program& p() { return *program; }
  Settings& settings() { return program->settings; }

  std::vector<std::string> log;
  std::filesystem::path folder;
  FakeSerialLine port;
  VirtualClock clock;
  ScriptedHost host;
  EmbeddedImages images;
  FakeView view;
  RecordingPresenter presenter;
  std::unique_ptr<Program> program;
};

}  // namespace kestrix::test
