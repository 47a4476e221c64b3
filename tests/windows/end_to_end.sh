#!/usr/bin/env bash
# end_to_end.sh KESTRIX_SIM PROGRAM [ARGS...]: the program ("kestrix", or
# "wine64 kestrix.exe") against kestrix-sim on COM6, as a user meets it: the
# window shows the demo's title (read back through Copy Text), a key reaches
# the device (page 8's "f" request fetches demo.bin), a Propeller 2 monitor
# load arrives, and a console upload ends "..OK -> RUN" with status 0. Under
# Wine (WINEPREFIX set) the pseudo-terminal becomes the prefix's COM6. Needs
# DISPLAY, xdotool and xclip.
set -euo pipefail
sim=$(realpath "$1")
shift
program=()  # absolute: the runs start in a folder of their own
for arg in "$@"; do program+=("$([ -e "$arg" ] && realpath "$arg" || echo "$arg")"); done

work=$(mktemp -d)
sim_pid='' window_pid=''
cleanup() {
  for pid in $window_pid $sim_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  printf "end_to_end: %s\n--- the simulator's log:\n" "$*" >&2
  cat "$work/sim.log" >&2 || true
  exit 1
}
# poll TIMES COMMAND...: runs the command every 0.1 s until it succeeds.
poll() { for _ in $(seq "$1"); do "${@:2}" && return 0; sleep 0.1; done; return 1; }
wait_log() { poll 300 grep -qF -- "$1" "$work/sim.log" || fail "the simulator never reported: $1"; }
byte_sum() { od -An -v -tu1 "$1" | tr -s ' ' '\n' | awk 'NF { s += $1 } END { printf "%08X", s }'; }

"$sim" --folder "$work" --port 6 >"$work/sim.log" 2>&1 &
sim_pid=$!
poll 100 test -L "$work/COM6" || fail "the simulator made no COM6 link"
if [ -n "${WINEPREFIX:-}" ]; then
  ln -sf "$(readlink -f "$work/COM6")" "$WINEPREFIX/dosdevices/com6"
fi

# Normal-Terminal Mode off, as the demo wants.
printf '[Config]\r\nComNr=6\r\nMsMoveOff=0\r\n' >"$work/Kestrix2.ini"
(cd "$work" && exec "${program[@]}" </dev/null >window.txt 2>&1) &
window_pid=$!
wait_log "The window opened the line"
# A search fails outright when Wine drops a window it is walking: poll it.
find_window() { window=$(xdotool search --onlyvisible --name '^Kestrix for ' 2>/dev/null | head -n 1) && [ -n "$window" ]; }
poll 300 find_window || fail "no window appeared"
# No window manager runs: give the window the keyboard directly.
keys() { xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true; xdotool key --delay 150 "$@"; }

# File > Copy Text copies what the screen received since the last copy.
wait_log "showing the title"
shown=
copy_title() {
  keys alt+f Down Return
  sleep 0.5
  shown+=$(xclip -o -selection clipboard 2>/dev/null || true)
  [[ $shown == *"K E S T R I X"* ]]
}
poll 30 copy_title || fail "the title never showed; the screen read: $shown"
echo "end_to_end: the title is on the screen"

poll 100 test -s "$work/demo.bin" || fail "no demo.bin"
keys 8
wait_log "Binary file: $(stat -c %s "$work/demo.bin") bytes, byte sum 0x$(byte_sum "$work/demo.bin")"
echo "end_to_end: a key reached the device and demo.bin arrived"

keys Escape
for i in $(seq 0 999); do printf "\\$(printf %03o $(((i * 13 + 5) % 256)))"; done >"$work/p2.obj"
obj=$work/p2.obj
if [ -n "${WINEPREFIX:-}" ]; then obj="Z:${obj//\//\\}"; fi
keys alt+f u
sleep 2
xdotool type --delay 50 "$obj"
keys Return
sleep 2
keys Return  # the hub address: the default E80
wait_log "Propeller 2 monitor: E80..1267, 1000 bytes, byte sum 0x$(byte_sum "$work/p2.obj"), start E80"
echo "end_to_end: the monitor load arrived"

keys alt+f q
window_gone() { ! kill -0 "$window_pid" 2>/dev/null; }
poll 100 window_gone || kill "$window_pid" 2>/dev/null || true
window_pid=
wait_log "The window closed the line"

for i in $(seq 0 255); do printf "\\$(printf %03o $((i * 7 % 256)))"; done >"$work/tiny.binary"
status=0
(cd "$work" && "${program[@]}" tiny.binary -L 6 </dev/null >console.txt 2>&1) || status=$?
last=$(tr -d '\r' <"$work/console.txt" | grep -v '^$' | tail -n 1 || true)
[ "$status" -eq 0 ] || fail "console upload: status $status; it printed: $(cat "$work/console.txt")"
[ "$last" = "..OK -> RUN" ] || fail "console upload: last line \"$last\""
wait_log "Propeller 1 upload into RAM: 256 bytes, byte sum 0x$(byte_sum "$work/tiny.binary")"
echo "end_to_end: console upload ..OK -> RUN, status 0, image received"

echo "end_to_end: passed"
