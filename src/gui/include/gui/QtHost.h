#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QStringList>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <string>
#include <utility>

#include "core/Host.h"

namespace kestrix {

// "Name|*.a;*.b|Other|*.c" as Qt name filters: "Name (*.a *.b)",
// "Other (*.c)". A name without a pattern after it is dropped.
QStringList QtNameFilters(const std::string& patterns);

// The desktop as the program sees it, on Qt widgets. Requesters are modal to
// the main window once it is known; before that they stand alone.
class QtHost : public Host {
 public:
  // What hands a URL to the desktop; tests record instead.
  using Launcher = std::function<void(const QUrl&)>;
  QtHost();
  explicit QtHost(Launcher launch) : launch_(std::move(launch)) {}

  // The window that parents the requesters and the progress bar the
  // transfers drive. Either may be null.
  void SetWindow(QWidget* window, QProgressBar* progress);

  void MessageBox(const std::string& title, const std::string& text) override;
  // Neither requester requires the file to exist, asks before replacing one,
  // or changes the working folder. The initial file gives the folder to start
  // in; its name part is preselected unless it is a wildcard pattern.
  FileChoice OpenFile(const std::string& title, const std::string& initialFile,
                      const std::string& patterns, int index) override;
  FileChoice SaveFile(const std::string& title, const std::string& initialFile,
                      const std::string& patterns, int index) override;
  std::string InputText(const std::string& title, const std::string& message,
                        const std::string& defaultText) override;
  void SetClipboardImage(const Raster& image) override;
  // The text is 8-bit: each byte is taken as a Latin-1 character.
  void SetClipboardText(const std::string& text) override;
  void ShowProgress(bool visible) override;
  void SetProgress(int percent) override;
  void PumpEvents() override;
  // A target with a scheme ("https://...", "file:...") is opened as a URL,
  // anything else as a local file, a relative name in the working folder.
  // The desktop's launcher gets it as one argument; no shell is involved.
  void OpenDocument(const std::string& target) override;
  // Only Windows lets one program find and raise another's window by title;
  // elsewhere this does nothing and returns false.
  bool RaiseWindow(const std::string& title) override;

 private:
  FileChoice AskForFile(bool save, const std::string& title,
                        const std::string& initialFile,
                        const std::string& patterns, int index);

  QPointer<QWidget> window_;
  QPointer<QProgressBar> progress_;
  Launcher launch_;
};

}  // namespace kestrix
