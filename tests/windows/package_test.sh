#!/usr/bin/env bash
# package_test.sh BUILD_FOLDER (run by scripts/windows-wine): the zip,
# unpacked into an empty folder, prints its version and opens its window with
# no Qt or MinGW folder on Wine's program path.
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
zip_file=$("$top/scripts/package-windows" "$build")
echo "package_test: $(basename "$zip_file"), $(stat -c %s "$zip_file") bytes"

empty=$(mktemp -d)
window_pid=''
trap 'kill $window_pid 2>/dev/null || true; rm -rf "$empty"' EXIT
(cd "$empty" && unzip -q "$zip_file")
folder=$(find "$empty" -mindepth 1 -maxdepth 1 -type d)
unset WINEPATH QT_PLUGIN_PATH

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
said=$(cd "$folder" && "$KESTRIX_WINE" ./kestrix.exe --version </dev/null 2>&1 | tr -d '\r')
[ "$said" = "Kestrix $version" ] || { echo "package_test: kestrix.exe --version said: $said" >&2; exit 1; }

(cd "$folder" && exec "$KESTRIX_WINE" ./kestrix.exe </dev/null >/dev/null 2>&1) &
window_pid=$!
# A search fails outright when Wine drops a window it is walking: poll it.
for _ in $(seq 300); do
  xdotool search --onlyvisible --name '^Kestrix for ' >/dev/null 2>&1 && { echo "package_test: passed"; exit 0; }
  sleep 0.1
done
echo "package_test: kestrix.exe from the zip opened no window" >&2
exit 1
