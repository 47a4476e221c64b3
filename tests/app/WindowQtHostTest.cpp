// The Qt desktop: requesters driven as a user would, the clipboard and the
// progress bar.
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/QtHost.h"
#include "app/WindowRig.h"

namespace kestrix::test {
namespace {

// Runs `act` on the modal dialog as soon as it is open.
template <typename Dialog>
void WhenOpen(std::function<void(Dialog&)> act) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(*dialog);
  });
  poll->start();
}

class WindowQtHost : public WindowTest {};

TEST_F(WindowQtHost, PatternTextsBecomeQtFilters) {
  EXPECT_EQ(QtNameFilters("Propeller(.binary)|*.binary|Propeller(.eeprom)|"
                          "*.eeprom|Text(.txt)|*.txt|OBJ file(.obj)|*.obj|"
                          "Prepare|*.bin;*.??a"),
            QStringList({"Propeller(.binary) (*.binary)",
                         "Propeller(.eeprom) (*.eeprom)", "Text(.txt) (*.txt)",
                         "OBJ file(.obj) (*.obj)", "Prepare (*.bin *.??a)"}));
  EXPECT_EQ(QtNameFilters("Kestrix(.ini)|*.ini"),
            QStringList({"Kestrix(.ini) (*.ini)"}));
  EXPECT_EQ(QtNameFilters(""), QStringList());
  EXPECT_EQ(QtNameFilters("Dangling name"), QStringList());
}

TEST_F(WindowQtHost, OpenRequesterReturnsTheFileAndTheChosenPattern) {
  const auto folder = std::filesystem::temp_directory_path() / "kestrix-qthost";
  std::filesystem::create_directories(folder);
  const std::string wanted = (folder / "demo.txt").string();
  QtHost host;
  QString shownFilter;
  WhenOpen<QFileDialog>([&](QFileDialog& dialog) {
    shownFilter = dialog.selectedNameFilter();
    dialog.selectNameFilter("Text(.txt) (*.txt)");
    // Not required to exist.
    dialog.selectFile(QString::fromStdString(wanted));
    // As the Open button does.
    QMetaObject::invokeMethod(&dialog, "accept");
  });
  const FileChoice choice =
      host.OpenFile("Load Binary", folder.string() + "/*.binary",
                    "A|*.a|B|*.b|Text(.txt)|*.txt|D|*.d", 1);
  EXPECT_EQ(shownFilter, "B (*.b)");
  EXPECT_EQ(choice.path, wanted);
  EXPECT_EQ(choice.patternIndex, 2);
  std::filesystem::remove_all(folder);
}

TEST_F(WindowQtHost, BoxAndRequestersShowTheirTextsAndAnswer) {
  QtHost host;
  QString shown;
  int buttons = 0;
  WhenOpen<QMessageBox>([&](QMessageBox& box) {
    shown = box.windowTitle() + " / " + box.text();
    buttons = static_cast<int>(box.buttons().size());
    box.button(QMessageBox::Ok)->click();
  });
  host.MessageBox("Error", "COM port not found");
  EXPECT_EQ(shown, "Error / COM port not found");
  EXPECT_EQ(buttons, 1);
  // Cancelled requesters answer empty.
  WhenOpen<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
  EXPECT_EQ(host.SaveFile("Save Text", "*.txt", "Text(.txt)|*.txt", 0).path,
            "");
  WhenOpen<QInputDialog>([&](QInputDialog& dialog) {
    shown = dialog.textValue();
    dialog.reject();
  });
  EXPECT_EQ(host.InputText("ComPort", "On which COM?", "6"), "");
  EXPECT_EQ(shown, "6");
  WhenOpen<QInputDialog>([](QInputDialog& dialog) {
    dialog.setTextValue(" 7");
    dialog.accept();
  });
  EXPECT_EQ(host.InputText("ComPort", "On which COM?", "6"), " 7");
}

TEST_F(WindowQtHost, ClipboardGetsTrueColoursAndLatin1Text) {
  QtHost host;
  Raster image(3, 1);
  image.At(0, 0) = 0x0000FF;  // red, in 0x00BBGGRR
  image.At(1, 0) = 0xFF0000;  // blue
  image.At(2, 0) = 0x00FFFF;  // yellow
  host.SetClipboardImage(image);
  const QImage got = QGuiApplication::clipboard()->image();
  ASSERT_EQ(got.size(), QSize(3, 1));
  EXPECT_EQ(got.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(got.pixel(1, 0) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(got.pixel(2, 0) & 0xFFFFFF, 0xFFFF00u);
  host.SetClipboardText("A\xE9\r\n");
  EXPECT_EQ(QGuiApplication::clipboard()->text(),
            QString::fromUtf8("A\xC3\xA9\r\n"));
}

TEST_F(WindowQtHost, DrivesTheWindowsProgressBar) {
  WindowRig rig;
  rig.Start();
  QtHost host;
  host.SetWindow(rig.window.get(), rig.window->Progress());
  QProgressBar* bar = rig.window->Progress();
  EXPECT_FALSE(bar->isVisible());
  EXPECT_EQ(bar->geometry(), QRect(40, 40, 110, 15));
  host.ShowProgress(true);
  host.SetProgress(42);
  EXPECT_TRUE(bar->isVisible());
  EXPECT_EQ(bar->value(), 42);
  host.ShowProgress(false);
  EXPECT_FALSE(bar->isVisible());
#ifndef Q_OS_WIN
  EXPECT_FALSE(host.RaiseWindow("Propeller Tool"));
#endif
}

}  // namespace
}  // namespace kestrix::test
