// The settings reader on arbitrary file contents, both ways of taking a
// UTF-8 file.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "settings/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const auto marked :
       {kestrix::MarkedText::kKeepUtf8, kestrix::MarkedText::kToLatin1}) {
    const kestrix::IniFile file = kestrix::IniFile::Parse(text, marked);
    const kestrix::IniGroup group = file.Group("Settings");
    group.ReadInteger("Cols", 80);
    group.ReadFloat("WindowScale", 1.0f);
    group.ReadText("BinPath", "");
    file.Group(text.substr(0, 8)).ReadText(text.substr(0, 4), "");
  }
  return 0;
}
