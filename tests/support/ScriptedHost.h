#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "core/Host.h"

namespace kestrix::test {

// A desktop whose requesters answer from queues (empty: cancelled). Calls go
// to `log` as "host box Error / COM port not found", "host open T; I; P; 0".
class ScriptedHost : public Host {
 public:
  explicit ScriptedHost(std::vector<std::string>& log) : log_(log) {}

  std::deque<FileChoice> openAnswers, saveAnswers;
  std::deque<std::string> inputAnswers;
  std::vector<Raster> clipboardImages;
  std::vector<int> progress;  // every value the progress bar was set to
  bool progressShown = false;
  std::function<void()> whileOpen;  // events delivered while a box is open

  void MessageBox(const std::string& title, const std::string& text) override {
    Asked("box " + title + " / " + text);
  }
  FileChoice OpenFile(const std::string& title, const std::string& initial,
                      const std::string& patterns, int index) override {
    Asked("open " + title + "; " + initial + "; " + patterns + "; " +
          std::to_string(index));
    return Answer(openAnswers);
  }
  FileChoice SaveFile(const std::string& title, const std::string& initial,
                      const std::string& patterns, int index) override {
    Asked("save " + title + "; " + initial + "; " + patterns + "; " +
          std::to_string(index));
    return Answer(saveAnswers);
  }
  std::string InputText(const std::string& title, const std::string& message,
                        const std::string& defaultText) override {
    Asked("input " + title + "; " + message + "; " + defaultText);
    return Answer(inputAnswers);
  }
  void SetClipboardImage(const Raster& image) override {
    clipboardImages.push_back(image);
  }
  void SetClipboardText(const std::string& text) override {
    log_.push_back("host clipboard text " + text);
  }
  void ShowProgress(bool visible) override { progressShown = visible; }
  void SetProgress(int percent) override { progress.push_back(percent); }
  void PumpEvents() override {
    if (whileOpen) whileOpen();
  }
  void OpenDocument(const std::string& target) override {
    log_.push_back("host document " + target);
  }
  bool RaiseWindow(const std::string& title) override {
    log_.push_back("host raise " + title);
    return false;
  }

 private:
  void Asked(const std::string& what) {
    log_.push_back("host " + what);
    PumpEvents();
  }
  template <typename T>
  static T Answer(std::deque<T>& answers) {
    if (answers.empty()) return {};
    T answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<std::string>& log_;
};

}  // namespace kestrix::test
