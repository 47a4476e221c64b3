#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QProcess>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "sim/PseudoTerminal.h"
#include "support/TempFolder.h"

namespace kestrix::test {
namespace {

namespace fs = std::filesystem;

// kestrix-sim as a child process, its output discarded; killed at the end.
struct SimProcess : QProcess {
  explicit SimProcess(const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    setStandardOutputFile(nullDevice());
    setStandardErrorFile(nullDevice());
    start(KESTRIX_SIM_EXECUTABLE, list);
  }
  ~SimProcess() override {
    kill();
    waitForFinished();
  }
  void Signal(int number) { ::kill(static_cast<pid_t>(processId()), number); }
  int Exit() {  // the exit status if it ends within 2 s, else -1
    if (!waitForFinished(2000)) return -1;
    return exitStatus() == NormalExit ? exitCode() : 128;
  }
};

// The link's target once it is a link other than `old` (within 2 s).
fs::path NewLinkTarget(const fs::path& link, const fs::path& old) {
  for (int i = 0; i < 400; ++i, usleep(5000)) {
    if (fs::is_symlink(link) && fs::read_symlink(link) != old)
      return fs::read_symlink(link);
  }
  return {};
}

TEST(PseudoTerminalTest, LinkReplacesOnlyAStalePtyLink) {
  // What COM6 is before (none, a link, a file's text); is the pty linked?
  const std::tuple<const char*, const char*, bool> rows[] = {
      {"nothing there", nullptr, true},
      {"stale pty link", "/dev/pts/999999", true},
      {"link to a real adapter", "/dev/null", false},
      {"regular file", "keep", false}};
  for (const auto& [name, existing, linked] : rows) {
    SCOPED_TRACE(name);
    TempFolder folder;
    const fs::path com = folder / "COM6";
    if (existing && existing[0] == '/') fs::create_symlink(existing, com);
    if (existing && existing[0] != '/') folder.Write("COM6", existing);
    {
      sim::PseudoTerminal pty;
      ASSERT_TRUE(pty.ok());
      EXPECT_EQ(pty.Link(folder.path().string(), 6), linked);
      EXPECT_EQ(fs::is_symlink(com) ? fs::read_symlink(com).string()
                                    : folder.Read("COM6"),
                linked ? pty.slavePath() : std::string(existing));
    }
    // Ours goes with the terminal; someone else's stays.
    EXPECT_EQ(fs::exists(fs::symlink_status(com)), !linked && existing);
  }
}

TEST(SimLink, MadeReplacedOrRefusedAndRemovedOnStop) {
  struct Row {
    const char* name;
    const char* before;  // "link:TARGET", "sim", "edited" or ""
    int stopSignal;      // 0: the simulator must refuse with status 1
  };
  for (const Row& row :
       {Row{"empty folder", "", SIGTERM},
        Row{"own stale link", "link:/dev/pts/99999", SIGINT},
        Row{"link of a live simulator", "sim", 0},
        Row{"edited sample, sample name linked away", "edited", SIGTERM}}) {
    SCOPED_TRACE(row.name);
    TempFolder folder, away;
    // A sample the user edited stays; a link in a sample's place is not
    // followed out of the folder.
    if (std::string(row.before) == "edited") {
      folder.Write("demo.txt", "mine");
      fs::create_symlink(away / "blink.binary", folder / "blink.binary");
    }
    const fs::path link = folder / "COM6";
    const std::string before = row.before;
    const std::vector<std::string> args{"--folder", folder.path().string()};
    std::unique_ptr<SimProcess> first;
    if (before.starts_with("link:")) fs::create_symlink(before.substr(5), link);
    if (before == "sim") first = std::make_unique<SimProcess>(args);
    const fs::path old = before == "sim"        ? NewLinkTarget(link, {})
                         : fs::is_symlink(link) ? fs::read_symlink(link)
                                                : fs::path();

    SimProcess sim(args);
    if (row.stopSignal == 0) {
      EXPECT_EQ(sim.Exit(), 1);
      EXPECT_EQ(fs::is_symlink(link) ? fs::read_symlink(link) : fs::path(),
                old);
      continue;
    }
    const fs::path target = NewLinkTarget(link, old);
    EXPECT_TRUE(target.string().starts_with("/dev/pts/") && fs::exists(link));
    EXPECT_EQ(folder.Read("demo.bin").size(), 1000u);
    EXPECT_EQ(folder.Read("blink.eeprom").size(), 32768u);
    EXPECT_EQ(folder.Read("demo.txt") == "mine", before == "edited");
    EXPECT_FALSE(fs::exists(away / "blink.binary"));
    sim.Signal(row.stopSignal);
    EXPECT_EQ(sim.Exit(), 0);
    EXPECT_FALSE(fs::is_symlink(link));
  }
}

}  // namespace
}  // namespace kestrix::test
