#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/MenuIds.h"
#include "app/Program.h"
#include "app/View.h"
#include "core/SerialLine.h"
#include "support/FakePort.h"
#include "support/ScriptedHost.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"
#include "terminal/EmbeddedImages.h"
#include "terminal/Presenter.h"

namespace kestrix::test {

// A serial line on which only `existingPorts` open. All but reads are logged:
// "port open 6 @0 ft0", "port open 3 @0 ft0 failed", "port baud 4", ...
class FakeSerialLine : public ScriptedPort<SerialLine> {
 public:
  explicit FakeSerialLine(std::vector<std::string>& log) : log_(log) {
    open = false;
  }

  std::set<int> existingPorts;
  int readCalls = 0;
  std::string adapters;  // what the line lists for the Com-Port requester

  void Feed(const std::string& bytes) { ScriptedPort::Feed(bytes); }
  // The adapter vanished: closed without ClosePort.
  void Lose() {
    open = false;
    incoming.clear();
  }

  int Write(const std::uint8_t* data, int count) override {
    if (open) Event("write " + std::to_string(count));
    return ScriptedPort::Write(data, count);
  }
  int Read(std::uint8_t* data, int max) override {
    ++readCalls;
    return ScriptedPort::Read(data, max);
  }
  bool OpenPort(const std::string& numberText, int index,
                bool ft232r) override {
    open = existingPorts.count(std::atoi(numberText.c_str())) > 0;
    Event("open " + numberText + " @" + std::to_string(index) + " ft" +
          (ft232r ? "1" : "0") + (open ? "" : " failed"));
    return open;
  }
  void ClosePort() override {
    Event("close");
    Lose();
  }
  void SetBaud(int index) override { Event("baud " + std::to_string(index)); }
  std::string OpenFailure(const std::string& numberText) const override {
    return "COM" + numberText + " is /dev/fake" + numberText + ".";
  }
  std::string AdaptersPresent() const override { return adapters; }

 private:
  void Event(const std::string& event) override {
    log_.push_back("port " + event);
  }
  std::vector<std::string>& log_;
};

// The main window as the logic sees it. Logs "view mark 5 on", "view resize
// 640x446", "view about panel"; the presenter logs "present".
class FakeView : public View, public Presenter {
 public:
  explicit FakeView(std::vector<std::string>& log) : log_(log) {}

  std::set<int> checked, disabled;
  int innerHeightWithMenu = 446;

  bool IsChecked(int id) const { return checked.count(id) > 0; }
  void SetChecked(int id, bool on) override {
    log_.push_back("view mark " + std::to_string(id) + (on ? " on" : " off"));
    on ? (void)checked.insert(id) : (void)checked.erase(id);
  }
  void SetEnabled(int id, bool on) override {
    on ? (void)disabled.erase(id) : (void)disabled.insert(id);
  }
  void ResizeInner(int width, int height) override {
    log_.push_back("view resize " + std::to_string(width) + "x" +
                   std::to_string(height));
  }
  int InnerHeightWithMenu() const override { return innerHeightWithMenu; }
  void PaintAboutPanel() override { log_.push_back("view about panel"); }
  void PresentScreen(const Raster&) override { log_.push_back("present"); }

 private:
  std::vector<std::string>& log_;
};

using Lines = std::vector<std::string>;

// The program in window mode on doubles sharing one log; COM6 and COM7 exist,
// the working folder is fresh.
class ProgramRig {
 public:
  explicit ProgramRig(std::vector<std::string> args = {}) {
    auto [loaded, error] = LoadEmbeddedImages();
    EXPECT_TRUE(loaded.has_value()) << error;
    if (loaded) images = std::move(*loaded);
    port.existingPorts = {6, 7};
    program = std::make_unique<Program>(
        ProgramServices{port, clock, host, images, folder},
        ParseCommandLine(args));
  }
  void Start() {
    program->LoadStartupSettings();
    program->AttachWindow(view, view);
    program->ConnectAtStartup();
  }
  std::string PathOf(const std::string& name) const {
    return (folder / name).string();
  }
  void Show(const std::string& bytes) {
    port.Feed(bytes);
    program->AfterEvent(false);
  }
  void LoadSettingsLines(const std::string& lines) {
    temp.Write("load.ini", "[Config]\r\n" + lines);
    host.openAnswers.push_back({PathOf("load.ini"), 0});
    Menu(kMenuLoadSettings);
  }
  // The log entries starting with `who` ("port", "host box"), without it.
  Lines Of(const std::string& who) const {
    Lines out;
    for (const auto& e : log) {
      if (e.rfind(who, 0) == 0)
        out.push_back(e.substr(std::min(e.size(), who.size() + 1)));
    }
    return out;
  }
  void Menu(int id) { program->OnMenuCommand(id); }
  Program& p() { return *program; }
  const Settings& settings() { return program->settings(); }

  Lines log;
  TempFolder temp;
  std::filesystem::path folder = temp.path();
  FakeSerialLine port{log};
  VirtualClock clock;
  ScriptedHost host{log};
  EmbeddedImages images;
  FakeView view{log};
  std::unique_ptr<Program> program;
};

// Tests on a started program, with the start-up's log cleared.
class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig_.Start();
    rig_.log.clear();
  }
  ProgramRig rig_;
};

}  // namespace kestrix::test
