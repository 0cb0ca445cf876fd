#!/usr/bin/env bash
# The window against a plain text editor (Mousepad, or gedit when Mousepad
# is missing), in the same run, under a virtual X server with the xcb
# platform: each program alone on the screen, keys sent through XTest and
# the screen read until it changes (bench/screen_probe.cpp). For FILE:
# start-up until the screen settles, a keystroke until the screen shows it,
# then select all and copy (Mirotabe in its output pane), with the bytes a
# paste elsewhere (xclip) receives and the peak resident memory after.
# The editor is for measuring only: install it by hand (apt install
# mousepad). Usage: scripts/editor_bench.sh FILE [RUNS]   (inside xvfb-run)
set -euo pipefail
cd "$(dirname "$0")/.."
file=$(realpath "$1")
runs=${2:-20}
probe=build/release/bin/screen_probe
if command -v mousepad >/dev/null; then
  editor=(mousepad --disable-server)
elif command -v gedit >/dev/null; then
  editor=(gedit --standalone)
else
  echo "Neither mousepad nor gedit is installed" >&2
  exit 1
fi

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.config/gtk-3.0" "$home/bin" "$home/runtime"
chmod 700 "$home/runtime"
# No blinking caret: it would change the screen by itself.
printf '[Settings]\ngtk-cursor-blink=false\n' >"$home/.config/gtk-3.0/settings.ini"
cp build/release/bin/mirotabe "$home/bin/mirotabe"
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_RUNTIME_DIR=$home/runtime NO_AT_BRIDGE=1
export QT_QPA_PLATFORM=xcb
screen=(0 0 1280 1024)

peak_rss() {
  awk '/VmHWM/ { printf "%.1f MB", $2 / 1024 }' "/proc/$1/status"
}

measure() {
  local name=$1
  shift
  echo "== $name"
  "$probe" start "${screen[@]}" -- "$@"
  "$@" >/dev/null 2>&1 &
  local pid=$!
  sleep 2
  # Into the input pane, or the editor's text, which takes the keys.
  xdotool mousemove 60 120 click 1
  "$probe" keys "${screen[@]}" "$runs" a BackSpace
  # Into the right half of the window, where Mirotabe shows its output.
  xdotool mousemove 500 150 click 1
  sleep 0.5
  "$probe" chord "${screen[@]}" Control_L a
  "$probe" chord "${screen[@]}" Control_L c >/dev/null
  sleep 0.5
  echo "peak RSS after select all and copy: $(peak_rss "$pid")"
  echo "a paste elsewhere receives $(timeout 300 xclip -o -selection clipboard -t UTF8_STRING |
    wc -c) bytes"
  echo "peak RSS after the paste: $(peak_rss "$pid")"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

measure "Mirotabe $(basename "$file")" "$home/bin/mirotabe" "$file"
measure "${editor[0]} $(basename "$file")" "${editor[@]}" "$file"
