#include "settings/IniFile.h"

#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "settings/Latin1.h"
#include "settings/Numbers.h"

namespace kestrix {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n' || c == '\0'; }

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

}  // namespace

const IniEntry* IniGroup::Find(std::string_view key) const {
  for (const IniEntry& entry : entries_) {
    if (EqualsIgnoringCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

int IniGroup::ReadInteger(std::string_view key, int fallback) const {
  const IniEntry* entry = Find(key);
  return entry ? DecimalValue(entry->value) : fallback;
}

float IniGroup::ReadFloat(std::string_view key, float fallback) const {
  const IniEntry* entry = Find(key);
  return entry ? FloatValue(entry->value) : fallback;
}

std::string IniGroup::ReadText(std::string_view key,
                               std::string_view fallback) const {
  const IniEntry* entry = Find(key);
  return std::string(entry ? TrimRight(entry->value) : fallback);
}

IniFile IniFile::Parse(std::string_view contents, MarkedText marked) {
  std::string converted;
  if (contents.size() > 2 && contents.starts_with(kUtf8Mark)) {
    contents.remove_prefix(kUtf8Mark.size());
    if (marked == MarkedText::kToLatin1) {
      converted = Utf8ToLatin1(contents);
      contents = converted;
    }
  }

  IniFile file;
  std::size_t pos = 0;
  while (pos < contents.size()) {
    std::size_t end = pos;
    while (end < contents.size() && !IsLineBreak(contents[end])) ++end;
    const std::string_view line = TrimLeft(contents.substr(pos, end - pos));
    pos = end + 1;

    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      std::string_view name = line.substr(1);
      name = name.substr(0, name.find(']'));
      file.groups_.push_back({std::string(name), {}});
      continue;
    }
    // Keys ahead of the first group can never be looked up.
    if (file.groups_.empty()) continue;
    const std::size_t equals = line.find('=');
    IniEntry entry;
    entry.key = std::string(TrimRight(line.substr(0, equals)));
    if (equals != std::string_view::npos) {
      entry.value = std::string(TrimLeft(line.substr(equals + 1)));
    }
    file.groups_.back().entries.push_back(std::move(entry));
  }
  return file;
}

std::optional<IniFile> IniFile::Load(const std::filesystem::path& path,
                                     MarkedText marked) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string contents((std::istreambuf_iterator<char>(in)),
                       std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return Parse(contents, marked);
}

IniGroup IniFile::Group(std::string_view name) const {
  for (const GroupLines& group : groups_) {
    if (EqualsIgnoringCase(group.name, name)) return IniGroup(group.entries);
  }
  return IniGroup();
}

}  // namespace kestrix
