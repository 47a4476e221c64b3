#!/bin/sh
# run-under-wine.sh TEST.exe [gtest options]: the Win32 serial line's test
# under Wine against pty_device.py, which Wine sees as COM<KESTRIX_TEST_COM>
# (default 7). WINEPREFIX set: the caller runs its server; unset: a prefix of
# our own next to the program, its server started and stopped here. WINE: the
# loader (default wine64). Exits with the test program's code.
set -eu
exe=${1:?usage: $0 TEST.exe [gtest options]}
shift
here=$(cd "$(dirname "$0")" && pwd)
com=${KESTRIX_TEST_COM:-7}
wine=${WINE:-$(command -v wine64 || echo /usr/lib/wine/wine64)}
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
export WINEDEBUG="${WINEDEBUG:--all}"
own_server=0
if [ -z "${WINEPREFIX:-}" ]; then
  WINEPREFIX=$(cd "$(dirname "$exe")" && pwd)/wine-prefix
  own_server=1
fi
export WINEPREFIX

if [ "$own_server" = 1 ]; then
  # A running server saves seconds per start and keeps runs from hanging.
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p </dev/null >/dev/null 2>&1 || true  # already running
fi
if [ ! -d "$WINEPREFIX/dosdevices" ] || [ "$own_server" = 1 ]; then
  "$wine" wineboot </dev/null >/dev/null 2>&1
fi

link=$WINEPREFIX/dosdevices/com$com
resume=$WINEPREFIX/drive_c/kestrix-resume-com$com
rm -f "$link" "$resume"
python3 "$here/pty_device.py" "$link" "$resume" &
device=$!
cleanup() {
  kill "$device" 2>/dev/null || true
  rm -f "$link" "$resume"
  if [ "$own_server" = 1 ]; then "$wineserver" -k 2>/dev/null || true; fi
}
trap cleanup EXIT
for _ in $(seq 100); do [ -e "$link" ] && break; sleep 0.1; done
[ -e "$link" ] || { echo "run-under-wine.sh: the device did not come up" >&2; exit 1; }

KESTRIX_TEST_COM=$com KESTRIX_TEST_RESUME="C:\\kestrix-resume-com$com" \
  timeout 300 "$wine" "$exe" "$@"
