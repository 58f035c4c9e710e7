#!/usr/bin/env bash
# The main job: builds everything, then runs the end-to-end chain under Wine. For now the chain
# is the rig's demo automation object: registered with regsvr32, created by ProgID from VBScript
# and JScript, called by name, unregistered at the end. The host simulator driving the driver on
# the virtual printer takes its place behind this same command.
#
#   tools/run-demo.sh [--no-build]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build_failed=0
if [[ "${1:-}" != --no-build ]]; then
  tools/install-deps.sh
  # The demo needs only the win64 build of the rig; show it even when another part is broken.
  tools/build.sh || build_failed=1
fi

demo=build/win64/tests/wine/demo/wine_demo.dll
[[ -f "$demo" ]] || { echo "run-demo: $demo is missing; build the win64 preset" >&2; exit 1; }
echo "== regsvr32 $demo"
tests/wine/regsvr32.sh "$demo"
trap 'echo "== regsvr32 /u $demo"; tests/wine/regsvr32.sh -u "$demo"' EXIT
echo "== VBScript: CreateObject(\"Ovra.WineDemo\")"
tests/wine/cscript.sh --include tests/wine/lib/check.vbs tests/wine/demo/demo.vbs
echo "== JScript: new ActiveXObject(\"Ovra.WineDemo\")"
tests/wine/cscript.sh --include tests/wine/lib/check.js tests/wine/demo/demo.js
if [[ $build_failed -ne 0 ]]; then
  echo "run-demo: the build failed (see above); the demo ran on what did build" >&2
  exit 1
fi
