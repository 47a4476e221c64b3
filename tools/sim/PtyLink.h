#pragma once

#include <memory>
#include <string>

namespace kestrix::simtool {

// A pseudo-terminal whose slave end is linked as COM<n> in a folder, where
// the program looks for its port. The link goes when the object goes.
class PtyLink {
 public:
  // Refuses (null, `error` says why) when COM<n> exists and is not a stale
  // link to a pseudo-terminal that is gone.
  static std::unique_ptr<PtyLink> Open(const std::string& folder, int port,
                                       std::string& error);
  ~PtyLink();
  PtyLink(const PtyLink&) = delete;
  PtyLink& operator=(const PtyLink&) = delete;

  int master() const { return master_; }
  const std::string& linkPath() const { return linkPath_; }
  const std::string& slavePath() const { return slavePath_; }

 private:
  PtyLink() = default;

  int master_ = -1;
  std::string linkPath_;
  std::string slavePath_;
};

// Why COM<n> in the folder may not be taken (empty: it may), without
// touching anything.
std::string LinkRefusal(const std::string& folder, int port);

// True when `target` names a pseudo-terminal slave (Linux or macOS style).
bool LooksLikePty(const std::string& target);

}  // namespace kestrix::simtool
