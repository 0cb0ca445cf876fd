#!/usr/bin/env bash
# Installs the converter's MSI under wine, checks that the user's PATH
# names its folder, converts a file with the installed program (whose
# settings are in %APPDATA%, since it lives under Program Files), uninstalls
# it, and checks that nothing of it is left: no folder, no PATH entry.
# Usage: check-installer.sh MIROTABE.msi
set -euo pipefail
msi=$(realpath "$1")
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

installed='C:\Program Files\Mirotabe'
folder=$("${wine[@]}" winepath -u "$installed" | tr -d '\r')
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

"${wine[@]}" msiexec /x "$msi" /qn
[ ! -e "$folder" ] || fail "$folder is left after the uninstall: $(ls -A "$folder")"
[ "$(user_path)" = "$path_before" ] || fail "the user's PATH is not as it was: $(user_path)"
echo "installed, ran and uninstalled; nothing left"
