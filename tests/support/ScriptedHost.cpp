#include "support/ScriptedHost.h"

namespace kestrix::test {

void ScriptedHost::Record(const std::string& event) {
  if (sharedLog != nullptr) sharedLog->push_back("host " + event);
}

void ScriptedHost::RunWhileOpen() {
  if (whileOpen) whileOpen();
}

void ScriptedHost::MessageBox(const std::string& title,
                              const std::string& text) {
  Record("box " + title + " / " + text);
  boxes.emplace_back(title, text);
  RunWhileOpen();
}

FileChoice ScriptedHost::OpenFile(const std::string& title,
                                  const std::string& initialFile,
                                  const std::string& patterns, int index) {
  Record("open-file " + title);
  openRequests.push_back({title, initialFile, patterns, index});
  RunWhileOpen();
  if (openAnswers.empty()) return {};
  FileChoice answer = openAnswers.front();
  openAnswers.pop_front();
  return answer;
}

FileChoice ScriptedHost::SaveFile(const std::string& title,
                                  const std::string& initialFile,
                                  const std::string& patterns, int index) {
  Record("save-file " + title);
  saveRequests.push_back({title, initialFile, patterns, index});
  RunWhileOpen();
  if (saveAnswers.empty()) return {};
  FileChoice answer = saveAnswers.front();
  saveAnswers.pop_front();
  return answer;
}

std::string ScriptedHost::InputText(const std::string& title,
                                    const std::string& message,
                                    const std::string& defaultText) {
  Record("input " + title);
  inputRequests.push_back({title, message, defaultText});
  RunWhileOpen();
  if (inputAnswers.empty()) return {};
  std::string answer = inputAnswers.front();
  inputAnswers.pop_front();
  return answer;
}

void ScriptedHost::SetClipboardImage(const Raster& image) {
  Record("clipboard image");
  clipboardImages.push_back(image);
}

void ScriptedHost::SetClipboardText(const std::string& text) {
  Record("clipboard text");
  clipboardTexts.push_back(text);
}

void ScriptedHost::PumpEvents() {
  ++pumps;
  RunWhileOpen();
}

void ScriptedHost::OpenDocument(const std::string& target) {
  Record("document " + target);
  documents.push_back(target);
}

bool ScriptedHost::RaiseWindow(const std::string& title) {
  Record("raise " + title);
  raiseRequests.push_back(title);
  if (windows.count(title) == 0) return false;
  raisedWindows.push_back(title);
  return true;
}

}  // namespace kestrix::test
