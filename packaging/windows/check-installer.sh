#!/usr/bin/env bash
# Installs the MSI under wine, checks that the user's PATH names its
# folder, converts a file with the installed converter (whose settings are
# in %APPDATA%, since it lives under Program Files), starts the window from
# the Start-menu shortcut's target on a file as "Open with" would and reads
# its output pane, uninstalls it, and checks that nothing of it is left: no
# folder, no shortcut, no PATH entry, no "Open with" entry. The window runs
# on a display of its own (xvfb-run) when there is none.
# Usage: check-installer.sh MIROTABE.msi WINDOW_READER.exe
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
msi=$(realpath "$1")
reader=$(realpath "$2")
here=$(cd "$(dirname "$0")/../.." && pwd)
wine=("$here/scripts/wine-run.sh")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The user's PATH as the registry holds it, or nothing.
user_path() {
  "${wine[@]}" reg query 'HKCU\Environment' /v PATH 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *PATH *REG_[A-Z_]* *//p' || true
}

# Whether the registry has `key`.
has_key() {
  "${wine[@]}" reg query "$1" >/dev/null 2>&1
}

installed='C:\Program Files\Mirotabe'
folder=$("${wine[@]}" winepath -u "$installed" | tr -d '\r')
drive=$("${wine[@]}" winepath -u 'C:\' | tr -d '\r')
# The Start menu's shortcut, all users' or the installing user's (wine
# makes the menu of the one who installs).
shortcuts() {
  find "$drive/ProgramData" "$drive/users" -path '*Start Menu/Programs/Mirotabe.lnk' 2>/dev/null
}
open_with='HKLM\Software\Classes\Applications\mirotabe.exe'
[ ! -e "$folder" ] || fail "$folder is there before the install"
path_before=$(user_path)

"${wine[@]}" msiexec /i "$msi" /qn
[ -f "$folder/mirotabe-convert.exe" ] || fail "no mirotabe-convert.exe in $folder"
[ -f "$folder/README.md" ] && [ -f "$folder/LICENSE.txt" ] && [ -f "$folder/THIRD-PARTY-NOTICES.txt" ] ||
  fail "the manual, the licence or the libraries' licences are missing"
user_path | grep -qi 'Mirotabe' || fail "the user's PATH does not name the folder: $(user_path)"

# The installed program gives the bytes of the one built.
printf 'あいう\nかき\n' >"$work/in.txt"
"${wine[@]}" "$installed\\mirotabe-convert.exe" --encoding utf-8 "$work/in.txt" >"$work/installed.txt"
"${wine[@]}" "$(dirname "$msi")/bin/mirotabe-convert.exe" --encoding utf-8 "$work/in.txt" \
  >"$work/built.txt"
[ -s "$work/built.txt" ] && cmp -s "$work/installed.txt" "$work/built.txt" ||
  fail "the installed converter wrote other bytes"
# Installed under Program Files, it keeps its settings in the user's folder.
[ ! -e "$folder/Setting.ini" ] || fail "Setting.ini in the program's folder"

# The window: a shortcut to it, "Open with" for .txt, and the file it is
# started on shown as the converter lays it out.
[ -f "$folder/mirotabe.exe" ] || fail "no mirotabe.exe in $folder"
[ -n "$(shortcuts)" ] || fail "no Start-menu shortcut"
has_key "$open_with\shell\open\command" || fail "no \"Open with\" entry for the window"
"${wine[@]}" "$reader" "$installed\\mirotabe.exe" "Z:$work/in.txt" "Z:$work/shown.txt" ||
  fail "the installed window could not be read"
cmp -s "$work/shown.txt" "$work/built.txt" || fail "the installed window shows other text"

"${wine[@]}" msiexec /x "$msi" /qn
[ ! -e "$folder" ] || fail "$folder is left after the uninstall: $(ls -A "$folder")"
[ -z "$(shortcuts)" ] || fail "the Start-menu shortcut is left after the uninstall: $(shortcuts)"
! has_key "$open_with" || fail "the \"Open with\" entry is left after the uninstall"
[ "$(user_path)" = "$path_before" ] || fail "the user's PATH is not as it was: $(user_path)"
echo "installed, ran and uninstalled; nothing left"
