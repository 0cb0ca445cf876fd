#!/usr/bin/env bash
# End to end: the real program in a real X server (Xvfb), driven by
# xdotool as a user would drive it. Usage: e2e_test.sh MIROTABE MIROTABE_CONVERT
# Each case copies the program into a folder of its own, so that it finds
# its own settings file there and nothing else.
set -euo pipefail

program=$1
converter=$2
work=$(mktemp -d)
app_pid=
# A case that fails half-way must not leave its window running.
trap 'if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT

if [ -z "${MIROTABE_E2E_INSIDE_X:-}" ]; then
  export MIROTABE_E2E_INSIDE_X=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
# xdotool sees only X windows, whatever platform the caller's tests use.
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

failures=0
case_failed=0
fail() {
  echo "FAIL: $*"
  case_failed=1
}

# Starts the program from a fresh folder with the given arguments and waits
# for its window (titled "name — Mirotabe"); sets $app_pid, $window and
# $folder.
start_program() {
  folder=$(mktemp -d "$work/case.XXXX")
  cp "$program" "$folder/mirotabe"
  # What the window keeps between runs stays with the case.
  XDG_STATE_HOME="$folder/state" "$folder/mirotabe" "$@" &
  app_pid=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name ' — Mirotabe$' | head -n 1)
  xdotool windowfocus --sync "$window"
}

stop_program() {
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
}

# Waits until a window titled $1 is shown and focuses it.
focus_window_named() {
  local found
  found=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
  xdotool windowfocus --sync "$found"
  echo "$found"
}

# Saves the output pane through the real save dialog, typing `name`
# (relative to the case's folder); waits for `expected_file`.
save_as() {
  local name=$1 expected_file=$2
  xdotool key --clearmodifiers ctrl+s
  focus_window_named 'ファイルの保存' >/dev/null
  xdotool type --delay 20 "$folder/$name"
  xdotool key Return
  wait_until test -s "$expected_file"
}

# Enters `text` where the focus is, as a paste: xdotool types a character
# the keymap lacks by rebinding a spare key for a moment, and a busy
# program reads that key after the binding is gone, so Japanese goes
# through the clipboard instead.
paste_text() {
  printf '%s' "$1" | xclip -selection clipboard -i
  wait_until test "$(xclip -selection clipboard -o 2>/dev/null)" = "$1"
  xdotool key --clearmodifiers ctrl+v
}

# Runs the command given until it succeeds, for up to ten seconds.
wait_until() {
  for _ in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# The bytes the save must have written: the converter's, for the same input
# and the same settings file (an empty one while the program has none).
expected_bytes() {
  local settings="$folder/Setting.ini"
  if [ ! -e "$settings" ]; then
    settings="$work/no-settings.ini"
    : >"$settings"
  fi
  printf '%s' "$1" | "$converter" --settings "$settings" --encoding utf-8 |
    iconv -f UTF-8 -t CP932
}

case_file_typing_and_save() {
  printf 'ab\r\nc\r\n' >"$work/input.txt"
  start_program "$work/input.txt"
  # The cursor stands at the start of the loaded text.
  xdotool type --delay 20 "xy"
  if ! save_as out "$folder/out.txt"; then
    fail "the save dialog wrote no out.txt"
  elif ! cmp -s "$folder/out.txt" <(expected_bytes $'xyab\r\nc'); then
    fail "out.txt holds other bytes: $(od -An -tx1 "$folder/out.txt" | head -n 3)"
  fi
  stop_program
}

# A name that is not UTF-8 is opened by its bytes.
case_name_that_is_not_utf8() {
  local name=$'name-\xff.txt'
  printf 'ab' >"$work/$name"
  start_program "$work/$name"
  if ! save_as out "$folder/out.txt"; then
    fail "the save dialog wrote no out.txt"
  elif ! cmp -s "$folder/out.txt" <(expected_bytes 'ab'); then
    fail "out.txt holds other bytes: $(od -An -tx1 "$folder/out.txt" | head -n 3)"
  fi
  stop_program
}

# Clicks the middle of a control given in twips (the dialog's own unit:
# 15 twips a pixel at 96 DPI) from the top left of window $1.
click_twips() {
  local window=$1 left=$2 top=$3 width=$4 height=$5
  xdotool mousemove --sync --window "$window" $(((left + width / 2) / 15)) $(((top + height / 2) / 15)) click 1
}

case_settings_entry_then_typing() {
  start_program
  xdotool key --clearmodifiers alt+s
  local dialog
  dialog=$(focus_window_named 'Mirotabe - 設定')
  # The list has the focus; the From box and the To box follow it.
  xdotool key Tab
  paste_text "ー"
  xdotool key Tab
  paste_text "｜"
  click_twips "$dialog" $((60 + 1020)) $((120 + 2880)) 735 255  # 追加, inside its frame
  click_twips "$dialog" 2400 3480 1035 375                      # OK
  # A slow machine, or a sanitizer build, may take a while to save.
  if ! wait_until grep -qs 'From=' "$folder/Setting.ini"; then
    fail "OK wrote no entry into Setting.ini"
    stop_program
    return
  fi
  xdotool windowfocus --sync "$window"
  paste_text "ラーメン"
  if ! save_as out "$folder/out.txt"; then
    fail "the save dialog wrote no out.txt"
  elif ! cmp -s "$folder/out.txt" <(printf 'ラ\r\n｜\r\nメ\r\nン' | iconv -f UTF-8 -t CP932); then
    fail "out.txt holds other bytes: $(od -An -tx1 "$folder/out.txt" | head -n 3)"
  fi
  stop_program
}

cases=(case_file_typing_and_save case_name_that_is_not_utf8 case_settings_entry_then_typing)
for case in "${cases[@]}"; do
  echo "== $case"
  case_failed=0
  "$case"
  failures=$((failures + case_failed))
done
passed=$((${#cases[@]} - failures))
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
