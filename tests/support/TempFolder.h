#pragma once

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace kestrix::test {

// A fresh folder of its own, removed with everything in it at the end, so
// tests run side by side never share a file. A random name that did not
// exist (create_directory tells): mkdtemp is not on every system.
class TempFolder {
 public:
  TempFolder() {
    std::error_code error;
    const auto base = std::filesystem::temp_directory_path(error);
    std::random_device entropy;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      path_ = base / ("kestrix-test-" + std::to_string(entropy()));
      if (!std::filesystem::create_directory(path_, error)) path_.clear();
    }
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const {
    return path_ / name;
  }
  // Replaces the named file's content; returns its path.
  std::filesystem::path Write(std::string_view name,
                              std::string_view bytes) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }
  // The whole content of the named file, empty when it cannot be read.
  std::string Read(std::string_view name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in),
            std::istreambuf_iterator<char>()};
  }

 private:
  std::filesystem::path path_;
};

// A FIFO: not a regular file, and opening it for reading would wait for ever.
// Windows has none: the row checks an absent file, refused the same way.
inline void MakeFifo(const std::filesystem::path& path) {
#ifdef _WIN32
  (void)path;
#else
  ::mkfifo(path.c_str(), 0600);
#endif
}

}  // namespace kestrix::test
