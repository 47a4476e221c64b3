#include "PtyLink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace kestrix::simtool {

bool LooksLikePty(const std::string& target) {
  return target.starts_with("/dev/pts/") || target.starts_with("/dev/ttys");
}

std::string LinkRefusal(const std::string& folder, int port) {
  const std::string path = folder + "/COM" + std::to_string(port);
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return {};
  char target[PATH_MAX] = {};
  const bool ptyLink = S_ISLNK(st.st_mode) &&
                       readlink(path.c_str(), target, sizeof target - 1) > 0 &&
                       LooksLikePty(target);
  struct stat targetStat {};
  // A link to a pseudo-terminal that is gone is a simulator's stale link.
  if (ptyLink && stat(path.c_str(), &targetStat) != 0) return {};
  return path + " exists and is not a stale simulator link: " +
         (ptyLink ? "it links to a pseudo-terminal in use (another simulator?)"
                  : "it belongs to something else") +
         "; remove it or choose --port";
}

std::unique_ptr<PtyLink> PtyLink::Open(const std::string& folder, int port,
                                       std::string& error) {
  std::unique_ptr<PtyLink> link(new PtyLink);
  const std::string path = folder + "/COM" + std::to_string(port);
  error = LinkRefusal(folder, port);
  if (!error.empty()) return nullptr;
  unlink(path.c_str());  // a stale link, if any
  link->master_ = posix_openpt(O_RDWR | O_NOCTTY);
  char name[PATH_MAX] = {};
  if (link->master_ < 0 || grantpt(link->master_) != 0 ||
      unlockpt(link->master_) != 0 ||
      ptsname_r(link->master_, name, sizeof name) != 0) {
    error = std::string("cannot open a pseudo-terminal: ") + strerror(errno);
    return nullptr;
  }
  // Raw, so that nothing the device sends is echoed or translated; the
  // setting stays with the terminal after this handle closes.
  const int slave = open(name, O_RDWR | O_NOCTTY);
  termios tio{};
  if (slave >= 0 && tcgetattr(slave, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
  }
  if (slave >= 0) close(slave);
  fcntl(link->master_, F_SETFL, fcntl(link->master_, F_GETFL) | O_NONBLOCK);
  if (symlink(name, path.c_str()) != 0) {
    error = "cannot link " + path + ": " + strerror(errno);
    return nullptr;
  }
  link->linkPath_ = path;
  link->slavePath_ = name;
  return link;
}

PtyLink::~PtyLink() {
  if (!linkPath_.empty()) {
    // Only our own link: something may have replaced it meanwhile.
    char target[PATH_MAX] = {};
    if (readlink(linkPath_.c_str(), target, sizeof target - 1) > 0 &&
        slavePath_ == target) {
      unlink(linkPath_.c_str());
    }
  }
  if (master_ >= 0) close(master_);
}

}  // namespace kestrix::simtool
