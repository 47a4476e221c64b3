#!/bin/sh
# run-under-wine.sh TEST.exe [gtest options], run inside scripts/windows-wine:
# the Win32 serial line's test against pty_device.py, which Wine sees as
# COM<KESTRIX_TEST_COM> (default 7). Exits with the test program's code.
set -eu
exe=${1:?usage: $0 TEST.exe [gtest options]}
shift
: "${WINEPREFIX:?run it inside scripts/windows-wine}"
here=$(cd "$(dirname "$0")" && pwd)
com=${KESTRIX_TEST_COM:-7}
link=$WINEPREFIX/dosdevices/com$com
resume=$WINEPREFIX/drive_c/kestrix-resume-com$com
rm -f "$link" "$resume"
python3 "$here/pty_device.py" "$link" "$resume" &
device=$!
trap 'kill "$device" 2>/dev/null || true; rm -f "$link" "$resume"' EXIT
for _ in $(seq 100); do [ -e "$link" ] && break; sleep 0.1; done
[ -e "$link" ] || { echo "run-under-wine.sh: the device did not come up" >&2; exit 1; }

KESTRIX_TEST_COM=$com KESTRIX_TEST_RESUME="C:\\kestrix-resume-com$com" \
  timeout 300 "${KESTRIX_WINE:-wine64}" "$exe" "$@"
