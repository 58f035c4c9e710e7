#!/usr/bin/env bash
# Runs the settings dialog test on a virtual X display: registers the driver, runs the test
# program, unregisters the driver. Wine's desktop keeps the display driver it started with, so
# this test has a prefix of its own whose Wine processes all start, and end, on this display.
#
#   run-dialog-test.sh DRIVER.dll TEST.exe SCREENSHOT-FOLDER(Windows path)
set -euo pipefail
rig="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export ORVEL_WINEPREFIX="${ORVEL_X11_WINEPREFIX:-${HOME:-/root}/.cache/orvel27/wine64-x11}"

# On the display: everything of the prefix starts and ends here.
if [[ "${1:-}" == --on-display ]]; then
  driver="$2" program="$3" shots="$4"
  "$rig/run.sh" --stop 10 >/dev/null 2>&1 || true
  # Without a window manager Wine draws the windows' frames and captions itself.
  "$rig/run.sh" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
  "$rig/regsvr32.sh" "$driver"
  rc=0
  "$rig/run.sh" "$program" "$shots" || rc=$?
  "$rig/regsvr32.sh" -u "$driver" || true
  "$rig/run.sh" --stop 30 || true
  exit "$rc"
fi

command -v xvfb-run >/dev/null || { echo "run-dialog-test: xvfb-run is missing (tools/install-deps.sh)" >&2; exit 1; }
mkdir -p "$(dirname "$ORVEL_WINEPREFIX")"
# One run at a time: the prefix's desktop belongs to one display.
exec {lock}>"$ORVEL_WINEPREFIX.run.lock"
flock -w 600 "$lock"

xvfb-run -a -s "-screen 0 1280x1024x24" "${BASH_SOURCE[0]}" --on-display "$@"
