#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrix {

// One "key=value" line of a group. Keys have trailing blanks and tabs
// removed; values have leading ones removed and run to the end of the line.
struct IniEntry {
  std::string key;
  std::string value;
};

// The entries between one group line and the next. Lookups ignore ASCII
// letter case and take the first matching key; an absent key returns the
// fallback the caller supplies. A group that was not found is empty, so every
// read returns its fallback.
class IniGroup {
 public:
  IniGroup() = default;
  explicit IniGroup(std::vector<IniEntry> entries)
      : entries_(std::move(entries)) {}

  // Decimal, as DecimalValue: a present key with an empty or non-numeric
  // value gives 0, not the fallback.
  int ReadInteger(std::string_view key, int fallback) const;
  // Longest leading decimal floating-point number, as FloatValue.
  float ReadFloat(std::string_view key, float fallback) const;
  // The value with trailing blanks and tabs removed.
  std::string ReadText(std::string_view key, std::string_view fallback) const;

 private:
  const IniEntry* Find(std::string_view key) const;

  std::vector<IniEntry> entries_;
};

// What becomes of the text of a file marked as UTF-8. Where file names are
// UTF-8 (Linux, macOS) it stays UTF-8, so a folder such as "Übung" survives
// a load and a save and still opens; where they are 8-bit (Windows) it is
// converted to the program's Latin-1.
enum class MarkedText { kKeepUtf8, kToLatin1 };
#if defined(_WIN32)
inline constexpr MarkedText kPlatformMarkedText = MarkedText::kToLatin1;
#else
inline constexpr MarkedText kPlatformMarkedText = MarkedText::kKeepUtf8;
#endif

// A parsed INI-style text in the program's 8-bit text. Lines end at CR, LF or
// NUL; blank lines and lines starting with ";" are skipped; "[name" opens a
// group (the name ends at "]" or the line end); every other line is an entry,
// and a line without "=" is a key with an empty value. Entries before the
// first group belong to no group and are never found.
class IniFile {
 public:
  // Parses file contents. Contents that start with the UTF-8 byte-order mark
  // (and are longer than the mark's first two bytes) are UTF-8: the mark is
  // dropped and the rest treated as `marked` says; others are taken as they
  // are.
  static IniFile Parse(std::string_view contents,
                       MarkedText marked = kPlatformMarkedText);

  // Reads and parses a file; nothing when it cannot be opened or read.
  static std::optional<IniFile> Load(const std::filesystem::path& path,
                                     MarkedText marked = kPlatformMarkedText);

  // The first group whose name equals `name` ignoring ASCII letter case; an
  // empty group when there is none. The group holds a copy of its entries,
  // so it may outlive this file.
  IniGroup Group(std::string_view name) const;

 private:
  struct GroupLines {
    std::string name;
    std::vector<IniEntry> entries;
  };

  std::vector<GroupLines> groups_;
};

}  // namespace kestrix
