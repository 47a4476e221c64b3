#include "gui/DisplayCheck.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/ConsoleUpload.h"

namespace kestrix {

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

void OnStartMessage(QtMsgType type, const QMessageLogContext& context,
                    const QString& message) {
  if (type == QtFatalMsg) {
    const std::string display = Variable("DISPLAY");
    const std::string line =
        display.empty() && Variable("WAYLAND_DISPLAY").empty()
            ? "kestrix: no display to open the window on (DISPLAY is not "
              "set); \"kestrix FILE -L PORT\" uploads without one\n"
            : "kestrix: cannot open the window: the display \"" + display +
                  "\" cannot be reached or has no usable Qt platform\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    std::_Exit(kExitCannotStart);
  }
  // The platform's steps towards that end ("could not connect to display")
  // would only repeat it.
  const std::string category =
      context.category != nullptr ? context.category : "";
  if (category.starts_with("qt.qpa")) return;
  std::fputs((qFormatLogMessage(type, context, message) + '\n')
                 .toLocal8Bit()
                 .constData(),
             stderr);
}

}  // namespace

void BeginDisplayCheck() { qInstallMessageHandler(OnStartMessage); }

void EndDisplayCheck() { qInstallMessageHandler(nullptr); }

}  // namespace kestrix
