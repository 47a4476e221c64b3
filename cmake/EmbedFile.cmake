# Turns a binary file into a C++ source holding its bytes.
# Usage: cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=Name -P EmbedFile.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT} at build time; do not edit.
#include <cstddef>
#include <cstdint>
#include <span>

namespace kestrix::assets {
namespace {
const std::uint8_t kData[${size}] = {
  ${bytes}
};
}  // namespace
std::span<const std::uint8_t> ${SYMBOL}() { return {kData, ${size}}; }
}  // namespace kestrix::assets
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
