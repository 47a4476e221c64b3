// Request "i" hands the desktop's launcher one file URL: a relative name is
// resolved in the working folder first, since "file:doc.txt" is taken for a
// web address.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/WindowRig.h"
#include "gui/QtHost.h"

namespace kestrix::test {
namespace {

class DocumentLaunch : public WindowTest {};

TEST_F(DocumentLaunch, OneUrlWithRelativeNamesResolvedInTheWorkingFolder) {
  std::vector<std::string> launched;
  QtHost host([&](const QUrl& url) {
    launched.push_back(url.toString(QUrl::FullyEncoded).toStdString());
  });
  const std::string here = std::filesystem::current_path().string();
  const struct {
    const char* name;
    std::string target;
    std::string url;
  } rows[] = {
      {"relative name", "doc.txt", "file://" + here + "/doc.txt"},
      {"name with blanks", "my doc.txt", "file://" + here + "/my%20doc.txt"},
      {"relative folder", "docs/a.txt", "file://" + here + "/docs/a.txt"},
      {"full path", "/opt/x/readme.txt", "file:///opt/x/readme.txt"},
      {"web address", "https://example.org/a b", "https://example.org/a%20b"},
  };
  for (const auto& row : rows) {
    launched.clear();
    host.OpenDocument(row.target);
    EXPECT_EQ(launched, std::vector<std::string>{row.url}) << row.name;
  }
}

}  // namespace
}  // namespace kestrix::test
