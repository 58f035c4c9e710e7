#!/usr/bin/env bash
# Runs the settings dialog test on a virtual X display in the rig's X11 prefix (x11-run.sh):
# registers the driver there, runs the test program, unregisters the driver.
#
#   run-dialog-test.sh DRIVER.dll TEST.exe SCREENSHOT-FOLDER(Windows path)
set -euo pipefail
rig="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

if [[ "${1:-}" != --on-display ]]; then
  exec "$rig/x11-run.sh" "${BASH_SOURCE[0]}" --on-display "$@"
fi
driver="$2" program="$3" shots="$4"
"$rig/regsvr32.sh" "$driver"
rc=0
"$rig/run.sh" "$program" "$shots" || rc=$?
"$rig/regsvr32.sh" -u "$driver" || true
exit "$rc"
