#pragma once

#include <string>

#include "core/Raster.h"

namespace kestrix {

// Result of an open-file or save-file requester.
struct FileChoice {
  std::string path;      // empty when cancelled
  int patternIndex = 0;  // the pattern selected when the requester closed
};

// Everything the program asks of the desktop: message boxes, requesters,
// clipboard, progress bar, event pumping, launching documents. The program
// implements it with Qt; tests with a scripted double.
class Host {
 public:
  virtual ~Host() = default;

  // A box with a title, a text and one OK button; returns when dismissed.
  virtual void MessageBox(const std::string& title,
                          const std::string& text) = 0;
  // patterns: "Name|*.a;*.b|Other|*.c" with preselected index.
  virtual FileChoice OpenFile(const std::string& title,
                              const std::string& initialFile,
                              const std::string& patterns, int index) = 0;
  virtual FileChoice SaveFile(const std::string& title,
                              const std::string& initialFile,
                              const std::string& patterns, int index) = 0;
  // Returns the entered text; empty when cancelled.
  virtual std::string InputText(const std::string& title,
                                const std::string& message,
                                const std::string& defaultText) = 0;
  virtual void SetClipboardImage(const Raster& image) = 0;
  virtual void SetClipboardText(const std::string& text) = 0;
  virtual void ShowProgress(bool visible) = 0;
  virtual void SetProgress(int percent) = 0;
  // Lets the window repaint during a long operation; input that arrives
  // meanwhile is consumed without effect.
  virtual void PumpEvents() = 0;
  // Opens a document, web page or program with its default handler.
  virtual void OpenDocument(const std::string& target) = 0;
  // Brings the top-level window with exactly this title to the front, where
  // the platform allows finding one. Returns whether one was found.
  virtual bool RaiseWindow(const std::string& title) = 0;
};

// A desktop that is not there (the console upload, benchmarks): boxes are
// dropped, requesters come back cancelled, nothing is shown.
class NullHost : public Host {
 public:
  void MessageBox(const std::string&, const std::string&) override {}
  FileChoice OpenFile(const std::string&, const std::string&,
                      const std::string&, int index) override {
    return {"", index};
  }
  FileChoice SaveFile(const std::string&, const std::string&,
                      const std::string&, int index) override {
    return {"", index};
  }
  std::string InputText(const std::string&, const std::string&,
                        const std::string&) override {
    return {};
  }
  void SetClipboardImage(const Raster&) override {}
  void SetClipboardText(const std::string&) override {}
  void ShowProgress(bool) override {}
  void SetProgress(int) override {}
  void PumpEvents() override {}
  void OpenDocument(const std::string&) override {}
  bool RaiseWindow(const std::string&) override { return false; }
};

}  // namespace kestrix
