// The serial adapters the system reports, and the COM links in the working
// folder, ordered by COM number (0, no number, last). Linux and macOS;
// Windows has its own listing behind the same header.
#ifndef _WIN32

#include "serial/SerialAdapters.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <system_error>

#include "serial/PortNames.h"

namespace kestrix {

namespace {

namespace fs = std::filesystem;

// The table of PortNames.cpp reaches COM63; links may name any number.
constexpr int kLastTableNumber = 63;

// Where a path leads, links followed as far as they go (a dangling link
// still names the device it was made for).
fs::path Resolved(const fs::path& path) {
  std::error_code error;
  fs::path target = path;
  for (int hops = 0; hops < 8 && fs::is_symlink(target, error); ++hops) {
    const fs::path next = fs::read_symlink(target, error);
    if (error) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  fs::path canonical = fs::weakly_canonical(target, error);
  return error ? target : canonical;
}

// The number of a "COM<n>" entry, or 0 when the name is not one.
int LinkNumber(const std::string& name) {
  if (!name.starts_with("COM") || name.size() < 4 || name.size() > 12 ||
      name[3] == '0') {
    return 0;
  }
  int value = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    value = value * 10 + (name[i] - '0');
  }
  return value;
}

struct Link {
  int number;
  fs::path target;
};

std::vector<Link> ComLinks(const fs::path& folder) {
  std::vector<Link> links;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const int number = LinkNumber(entry.path().filename().string());
    if (number > 0) links.push_back({number, Resolved(entry.path())});
  }
  return links;
}

// A link wins over the table, as when the port is opened.
int ComNumberOf(const fs::path& device, const std::vector<Link>& links,
                const fs::path& folder) {
  const fs::path resolved = Resolved(device);
  for (const Link& link : links) {
    if (link.target == resolved) return link.number;
  }
  for (int n = 1; n <= kLastTableNumber; ++n) {
    if (UnixPortName(std::to_string(n), folder) == device.string()) return n;
  }
  return 0;
}

}  // namespace

std::vector<SerialAdapter> ListSerialAdapters(const fs::path& workingFolder) {
  const std::vector<Link> links = ComLinks(workingFolder);
  std::vector<SerialAdapter> adapters;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const fs::path device = info.systemLocation().toStdString();
    const QString description =
        info.description().isEmpty() ? info.manufacturer() : info.description();
    adapters.push_back({ComNumberOf(device, links, workingFolder),
                        device.string(), description.toStdString(),
                        info.serialNumber().toStdString()});
  }
  // Links to what the system does not list (a pseudo-terminal, a device
  // that has gone) are ports too.
  for (const Link& link : links) {
    const bool listed =
        std::any_of(adapters.begin(), adapters.end(),
                    [&](const auto& a) { return a.comNumber == link.number; });
    if (!listed) {
      adapters.push_back(
          {link.number, link.target.string(),
           "link COM" + std::to_string(link.number) + " in the working folder",
           ""});
    }
  }
  std::stable_sort(adapters.begin(), adapters.end(),
                   [](const SerialAdapter& a, const SerialAdapter& b) {
                     const int ka = a.comNumber > 0 ? a.comNumber : 1 << 30;
                     const int kb = b.comNumber > 0 ? b.comNumber : 1 << 30;
                     return ka < kb;
                   });
  return adapters;
}

}  // namespace kestrix

#endif  // _WIN32
