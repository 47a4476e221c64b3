#!/usr/bin/env bash
# check_package.sh BUILD SOURCE: cpack -G DEB, dpkg-deb -x, then the layout.
set -uo pipefail
build=$1 source=$2
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrix-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/log" 2>&1 ||
  { cat "$work/log"; exit 1; }
deb=$(ls "$work"/out/*.deb) && dpkg-deb -x "$deb" "$work/root" || exit 1
usr=$work/root/usr failed=0
fail() { echo "FAILED: $*"; failed=1; }

[ -x "$usr/bin/kestrix" ] && [ -x "$usr/bin/kestrix-render" ] && [ -x "$usr/bin/kestrix-sim" ] ||
  fail programs
# Help > Website finds the README beside the executable's folder.
for pair in README.md:bin/../share/doc/kestrix/README.md LICENSE:share/doc/kestrix/LICENSE \
  docs/kestrix.1:share/man/man1/kestrix.1 docs/kestrix-sim.1:share/man/man1/kestrix-sim.1 \
  docs/kestrix-render.1:share/man/man1/kestrix-render.1; do
  cmp -s "$source/${pair%%:*}" "$usr/${pair#*:}" || fail "${pair#*:}"
done
for size in 48 128 256; do
  # The PNG header's width and height, big-endian at bytes 16 to 23.
  read -r -a h < <(od -An -tu1 -j16 -N8 "$usr/share/icons/hicolor/${size}x$size/apps/kestrix.png")
  [ $((h[2] << 8 | h[3])),$((h[6] << 8 | h[7])) = "$size,$size" ] || fail "icon $size"
done
entry=$usr/share/applications/kestrix.desktop
desktop-file-validate "$entry" || fail "desktop entry"
grep -qx Exec=kestrix "$entry" && grep -qx Icon=kestrix "$entry" || fail "Exec or Icon"

# The dependencies come from the shared-library scan, not from a typed list.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libqt6serialport6 libpng16-16; do
  [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done
exit $failed
