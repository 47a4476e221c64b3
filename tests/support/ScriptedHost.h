#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "terminal/Host.h"

namespace kestrix::test {

// A desktop whose requesters answer from queues (an empty queue answers as
// if cancelled) and which records everything shown to the user. Calls are
// also appended to `sharedLog` when one is given.
class ScriptedHost : public Host {
 public:
  struct FileRequest {
    std::string title;
    std::string initialFile;
    std::string patterns;
    int index = 0;
  };
  struct InputRequest {
    std::string title;
    std::string message;
    std::string defaultText;
  };

  std::deque<FileChoice> openAnswers;
  std::deque<FileChoice> saveAnswers;
  std::deque<std::string> inputAnswers;
  std::vector<FileRequest> openRequests;
  std::vector<FileRequest> saveRequests;
  std::vector<InputRequest> inputRequests;
  std::vector<std::pair<std::string, std::string>> boxes;
  std::vector<Raster> clipboardImages;
  std::vector<std::string> clipboardTexts;
  std::vector<std::string> documents;
  std::vector<std::string> raiseRequests;
  // Titles of the top-level windows that exist on the desktop.
  std::set<std::string> windows;
  std::vector<std::string> raisedWindows;
  int pumps = 0;
  std::vector<std::string>* sharedLog = nullptr;
  // Runs while any requester or box is open: events the window delivers
  // meanwhile.
  std::function<void()> whileOpen;

  void MessageBox(const std::string& title, const std::string& text) override;
  FileChoice OpenFile(const std::string& title, const std::string& initialFile,
                      const std::string& patterns, int index) override;
  FileChoice SaveFile(const std::string& title, const std::string& initialFile,
                      const std::string& patterns, int index) override;
  std::string InputText(const std::string& title, const std::string& message,
                        const std::string& defaultText) override;
  void SetClipboardImage(const Raster& image) override;
  void SetClipboardText(const std::string& text) override;
  void ShowProgress(bool) override {}
  void SetProgress(int) override {}
  void PumpEvents() override;
  void OpenDocument(const std::string& target) override;
  bool RaiseWindow(const std::string& title) override;

 private:
  void Record(const std::string& event);
  void RunWhileOpen();
};

}  // namespace kestrix::test
