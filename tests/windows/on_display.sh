#!/usr/bin/env bash
# Runs a test of the window on a display of its own (Xvfb), in a wine
# prefix of the window tests' own: wine's desktop process belongs to the
# prefix and keeps the display it first met, so the console tests, which
# run without one beside these, must not share it. The prefix's processes
# end with the test, so that the next test's display is the one wine uses.
# Usage: on_display.sh COMMAND [ARGUMENT...]
set -euo pipefail
here=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX="${MIROTABE_WINDOW_PREFIX:-$here/build/windows/wine-window}"
trap 'wineserver -k 2>/dev/null || true' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
