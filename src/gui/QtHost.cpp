#include "gui/QtHost.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

#include "gui/RasterImage.h"

#ifdef Q_OS_WIN
#include <windows.h>
// windows.h turns MessageBox into MessageBoxW by a macro; the host's own
// MessageBox keeps its name.
#undef MessageBox
#endif

namespace kestrix {

namespace {

QString FromLocal(const std::string& text) {
  return QString::fromLocal8Bit(text.data(),
                                static_cast<qsizetype>(text.size()));
}

std::string ToLocal(const QString& text) {
  return text.toLocal8Bit().toStdString();
}

}  // namespace

QStringList QtNameFilters(const std::string& patterns) {
  const QStringList parts = FromLocal(patterns).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString globs = parts[i + 1];
    globs.replace(QLatin1Char(';'), QLatin1Char(' '));
    filters << parts[i] + QStringLiteral(" (") + globs.trimmed() +
                   QLatin1Char(')');
  }
  return filters;
}

void QtHost::SetWindow(QWidget* window, QProgressBar* progress) {
  window_ = window;
  progress_ = progress;
}

void QtHost::MessageBox(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, FromLocal(title), FromLocal(text),
                  QMessageBox::Ok, window_);
  box.exec();
}

FileChoice QtHost::OpenFile(const std::string& title,
                            const std::string& initialFile,
                            const std::string& patterns, int index) {
  return AskForFile(false, title, initialFile, patterns, index);
}

FileChoice QtHost::SaveFile(const std::string& title,
                            const std::string& initialFile,
                            const std::string& patterns, int index) {
  return AskForFile(true, title, initialFile, patterns, index);
}

FileChoice QtHost::AskForFile(bool save, const std::string& title,
                              const std::string& initialFile,
                              const std::string& patterns, int index) {
  FileChoice choice;
  choice.patternIndex = index;
  QFileDialog dialog(window_, FromLocal(title));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave
                            : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);

  const QStringList filters = QtNameFilters(patterns);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    if (index >= 0 && index < filters.size()) {
      dialog.selectNameFilter(filters[index]);
    }
  }

  // "C:\\bin\\*.binary" or "folder/*.txt": a starting folder and a pattern.
  QString initial = FromLocal(initialFile);
  initial.replace(QLatin1Char('\\'), QLatin1Char('/'));
  const qsizetype slash = initial.lastIndexOf(QLatin1Char('/'));
  const QString folder = slash >= 0 ? initial.left(slash + 1) : QString();
  const QString name = initial.mid(slash + 1);
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
    dialog.setDirectory(folder);
  }
  const bool wildcard =
      name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
  if (!name.isEmpty() && !wildcard) dialog.selectFile(name);

  if (dialog.exec() != QDialog::Accepted) return choice;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return choice;
  choice.path = ToLocal(QDir::toNativeSeparators(chosen.first()));
  const qsizetype selected = filters.indexOf(dialog.selectedNameFilter());
  if (selected >= 0) choice.patternIndex = static_cast<int>(selected);
  return choice;
}

std::string QtHost::InputText(const std::string& title,
                              const std::string& message,
                              const std::string& defaultText) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(window_, FromLocal(title), FromLocal(message),
                            QLineEdit::Normal, FromLocal(defaultText), &ok);
  return ok ? ToLocal(text) : std::string();
}

void QtHost::SetClipboardImage(const Raster& image) {
  QGuiApplication::clipboard()->setImage(RasterToQImage(image));
}

void QtHost::SetClipboardText(const std::string& text) {
  QGuiApplication::clipboard()->setText(
      QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
}

void QtHost::ShowProgress(bool visible) {
  if (progress_ != nullptr) progress_->setVisible(visible);
}

void QtHost::SetProgress(int percent) {
  if (progress_ != nullptr) progress_->setValue(percent);
}

void QtHost::PumpEvents() {
  // Paints and timer ticks run; the window drops input while the program is
  // busy, so keys and clicks made meanwhile have no effect.
  QCoreApplication::processEvents();
}

QtHost::QtHost()
    : launch_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {}

void QtHost::OpenDocument(const std::string& target) {
  const QString text = FromLocal(target);
  const QUrl asUrl(text);
  // A one-letter scheme is a Windows drive ("C:\\..."), not a URL.
  const bool isUrl = asUrl.isValid() && asUrl.scheme().size() > 1;
  // A relative name would become "file:doc.txt", which launchers take for
  // a web address or refuse: it names a file in the working folder, which
  // is the current folder (requesters never change it).
  launch_(isUrl ? asUrl
                : QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath()));
}

bool QtHost::RaiseWindow(const std::string& title) {
#ifdef Q_OS_WIN
  HWND found = ::FindWindowA(nullptr, title.c_str());
  if (found == nullptr || !::IsWindow(found)) return false;
  ::SetForegroundWindow(found);
  return true;
#else
  (void)title;
  return false;
#endif
}

}  // namespace kestrix
