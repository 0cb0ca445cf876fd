#!/usr/bin/env bash
# Installs the package's files into /usr as root would, but through an
# overlay in a mount namespace of its own, so that the machine's /usr is
# untouched and every file written under /usr afterwards is seen. Runs the
# installed program as root in a virtual X server, with HOME in the work
# folder, presses OK in its settings dialog, and checks that the settings
# went to ~/.config/mirotabe/Setting.ini and nothing to /usr.
# Usage: check-root-settings.sh DEB WORK_DIR   (as root; WORK_DIR is emptied first)
# DEB may be a folder that holds the one package, as check-package.sh leaves it.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 DEB WORK_DIR" >&2; exit 2; }
deb=$1
[ -d "$deb" ] && deb=$(find "$deb" -maxdepth 1 -name 'mirotabe_*.deb' | head -n 1)
[ -f "$deb" ] || { echo "FAIL: no package in $1" >&2; exit 1; }
deb=$(realpath "$deb")
work=$2

if [ -z "${MIROTABE_ROOT_CHECK_INSIDE:-}" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "check-root-settings.sh needs root: it checks what root does" >&2; exit 1; }
  for tool in unshare dpkg-deb xvfb-run xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool not found: run scripts/install-deps.sh" >&2; exit 1; }
  done
  rm -rf "$work"
  mkdir -p "$work"/{upper,overlay-work,package,home}
  work=$(realpath "$work")
  # A container may forbid mount namespaces or overlays even to root; the
  # check then cannot see /usr and is skipped rather than failed.
  if ! unshare --mount --propagation private true 2>/dev/null; then
    echo "SKIP: no mount namespace here" >&2
    exit 77
  fi
  export MIROTABE_ROOT_CHECK_INSIDE=1
  exec unshare --mount --propagation private "$0" "$deb" "$work"
fi

if ! mount -t overlay overlay -o "lowerdir=/usr,upperdir=$work/upper,workdir=$work/overlay-work" /usr; then
  echo "SKIP: no overlay over /usr here" >&2
  exit 77
fi
dpkg-deb -x "$deb" "$work/package"
cp -a "$work/package/usr/." /usr/
installed=$(cd "$work/upper" && find . | sort)

export HOME="$work/home"
export QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cd /
# The OK button is at 2400, 3480 twips (15 a pixel) in the dialog, 1035 by 375.
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  /usr/bin/mirotabe & program=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name " — Mirotabe\$" | head -n 1)
  xdotool windowfocus --sync "$window"
  xdotool key --clearmodifiers alt+s
  dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "^Mirotabe - 設定\$" | head -n 1)
  xdotool windowfocus --sync "$dialog"
  xdotool mousemove --sync --window "$dialog" $(((2400 + 1035 / 2) / 15)) $(((3480 + 375 / 2) / 15)) click 1
  for _ in $(seq 100); do [ -s "$HOME/.config/mirotabe/Setting.ini" ] && break; sleep 0.1; done
  kill "$program"; wait "$program" 2>/dev/null || true' || true

failed=0
written=$(comm -13 <(echo "$installed") <(cd "$work/upper" && find . | sort))
if [ -n "$written" ]; then
  echo "FAIL: the program run as root wrote under /usr:" >&2
  sed 's:^\.:  /usr:' <<<"$written" >&2
  failed=1
fi
if ! grep -qs '^\[Main\]' "$HOME/.config/mirotabe/Setting.ini"; then
  echo "FAIL: OK wrote no ~/.config/mirotabe/Setting.ini; HOME holds: $(cd "$HOME" && find . -type f)" >&2
  failed=1
fi
exit $failed
