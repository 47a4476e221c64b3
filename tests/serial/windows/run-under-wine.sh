#!/bin/sh
# Runs the Win32 serial line's test program under Wine against a device on a
# pseudo-terminal (pty_device.py) that Wine sees as COM<KESTRIX_TEST_COM>.
#
#   tests/serial/windows/run-under-wine.sh path/to/win32_serial_tests.exe [gtest options]
#
# KESTRIX_TEST_COM  the port number to link (default 7)
# WINEPREFIX        the prefix to use; the caller runs its server. Unset: a
#                   prefix of our own next to the program, whose server is
#                   started here and stopped at the end.
# WINE              the Wine loader (default wine64 on PATH, else Debian's
#                   /usr/lib/wine/wine64)
# Needs python3 for the device. Exits with the test program's code.
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 TEST.exe [gtest options]" >&2
  exit 2
fi
exe=$1
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
tries=0
while [ ! -e "$link" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ]; then
    echo "run-under-wine.sh: the device did not come up" >&2
    exit 1
  fi
  sleep 0.1
done

KESTRIX_TEST_COM=$com KESTRIX_TEST_RESUME="C:\\kestrix-resume-com$com" \
  timeout 300 "$wine" "$exe" "$@"
