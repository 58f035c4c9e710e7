#!/usr/bin/env bash
# Runs a command on a virtual X display with the rig's X11 prefix. Wine's desktop keeps the display
# driver it started with, so windows that must really be drawn (screenshots, pixels read back from
# the screen) need a prefix whose Wine processes all start, and end, on this display: this one is
# stopped before the command and after it, and one run at a time holds it.
#
#   x11-run.sh COMMAND [ARGS...]     (COMMAND runs with DISPLAY and ORVEL_WINEPREFIX set)
#   ORVEL_X11_WINEPREFIX   the prefix (default ~/.cache/orvel27/wine64-x11)
#   ORVEL_X11_SCREEN       the display's size and depth (default 1280x1024x24)
set -euo pipefail
rig="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export ORVEL_WINEPREFIX="${ORVEL_X11_WINEPREFIX:-${HOME:-/root}/.cache/orvel27/wine64-x11}"

if [[ "${1:-}" == --on-display ]]; then
  shift
  "$rig/run.sh" --stop 10 >/dev/null 2>&1 || true
  # Without a window manager Wine draws the windows' frames and captions itself.
  "$rig/run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  rc=0
  "$@" || rc=$?
  "$rig/run.sh" --stop 30 || true
  exit "$rc"
fi

command -v xvfb-run >/dev/null || { echo "x11-run: xvfb-run is missing (tools/install-deps.sh)" >&2; exit 1; }
mkdir -p "$(dirname "$ORVEL_WINEPREFIX")"
exec {lock}>"$ORVEL_WINEPREFIX.run.lock"
flock -w 600 "$lock"
xvfb-run -a -s "-screen 0 ${ORVEL_X11_SCREEN:-1280x1024x24}" "${BASH_SOURCE[0]}" --on-display "$@"
