#!/usr/bin/env bash
# check_package.sh BUILD SOURCE: cpack -G DEB, dpkg-deb -x, then the layout.
set -uo pipefail
build=$1 source=$2
for tool in cpack dpkg-deb dpkg-shlibdeps desktop-file-validate; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrix-package-XXXXXX")
trap 'rm -rf "$work"' EXIT
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/log" 2>&1; then
  cat "$work/log"; exit 1
fi
deb=$(ls "$work"/out/*.deb)
dpkg-deb -x "$deb" "$work/root" || exit 1
root=$work/root/usr
failed=0
fail() { echo "FAILED: $*"; failed=1; }

for program in kestrix kestrix-render; do
  [ -x "$root/bin/$program" ] || fail "bin/$program"
done
# Help > Website finds the README beside the executable's folder.
cmp -s "$source/README.md" "$root/bin/../share/doc/kestrix/README.md" || fail README
cmp -s "$source/LICENSE" "$root/share/doc/kestrix/LICENSE" || fail LICENSE
cmp -s "$source/docs/kestrix.1" "$root/share/man/man1/kestrix.1" || fail "man page"
for size in 48 128 256; do
  icon=$root/share/icons/hicolor/${size}x${size}/apps/kestrix.png
  # The PNG header's width and height, big-endian at bytes 16 to 23.
  read -r -a h < <(od -An -tu1 -j16 -N8 "$icon" 2>/dev/null)
  [ "${#h[@]}" -eq 8 ] && [ $((h[2] << 8 | h[3])) -eq "$size" ] &&
    [ $((h[6] << 8 | h[7])) -eq "$size" ] || fail "icon $size: ${h[*]:-none}"
done

entry=$root/share/applications/kestrix.desktop
desktop-file-validate "$entry" || fail "desktop entry does not validate"
for line in Exec=kestrix Icon=kestrix Type=Application; do
  grep -qx "$line" "$entry" || fail "desktop entry lacks $line"
done

# The dependencies come from the shared-library scan, not from a typed list.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libqt6widgets6 libqt6serialport6 libpng16-16; do
  [[ $depends == *"$library "* ]] || fail "Depends lacks $library: $depends"
done
for field in Maintainer Section Description; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || fail "no $field"
done
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 3 ] || fail "no long description"
exit $failed
