#pragma once

#include <gtest/gtest.h>

#include <algorithm>
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

// Logs each hand-off ("transfer text x @2") with the pattern index then.
class RecordingTransfers : public LaterTransfers {
 public:
  RecordingTransfers(Lines& log, const std::unique_ptr<Program>& program)
      : log_(log), program_(program) {}
  void MonitorLoad(const std::string& path, std::int32_t hub) override {
    Log("monitor " + path + " " + std::to_string(hub));
  }
  void SendTextFile(const std::string& path) override { Log("text " + path); }
  void CarryOutServiceRequest(int request) override {
    Log("service " + std::to_string(request));
  }

 private:
  void Log(const std::string& call) {
    log_.push_back("transfer " + call + " @" +
                   std::to_string(program_->UploadPatternIndex));
  }
  Lines& log_;
  const std::unique_ptr<Program>& program_;
};

// The program in window mode on doubles sharing one log; COM6 and COM7 exist,
// the working folder is fresh.
class ProgramRig {
 public:
  explicit ProgramRig(std::vector<std::string> args = {}) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder = std::filesystem::temp_directory_path() /
             ("kestrix-program-" + std::string(info->name()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::string error;
    auto loaded = LoadEmbeddedImages(&error);
    EXPECT_TRUE(loaded.has_value()) << error;
    if (loaded) images = std::move(*loaded);
    port.existingPorts = {6, 7};
    program = std::make_unique<Program>(
        ProgramServices{port, clock, host, images, folder},
        ParseCommandLine(args));
  }
  ~ProgramRig() {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  void Start() {
    program->LoadStartupSettings();
    program->AttachWindow(view, view);
    program->SetLaterTransfers(&transfers);
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
  // The log entries starting with `who` ("port", "host box"), without it.
  Lines Of(const std::string& who) const {
    Lines out;
    for (const auto& e : log) {
      if (e.rfind(who, 0) == 0) {
        out.push_back(e.substr(std::min(e.size(), who.size() + 1)));
      }
    }
    return out;
  }
  void Menu(int id) { program->OnMenuCommand(id); }
  Program& p() { return *program; }
  Settings& settings() { return program->settings; }

  Lines log;
  std::filesystem::path folder;
  FakeSerialLine port{log};
  VirtualClock clock;
  ScriptedHost host{log};
  EmbeddedImages images;
  FakeView view{log};
  std::unique_ptr<Program> program;
  RecordingTransfers transfers{log, program};
};

// Tests on a started program, with the start-up's log cleared.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Start();
    rig.log.clear();
  }
  ProgramRig rig;
};

}  // namespace kestrix::test
