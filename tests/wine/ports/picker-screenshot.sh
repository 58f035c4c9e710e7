#!/usr/bin/env bash
# Runs the port picker demo on a virtual X display in the rig's X11 prefix (x11-run.sh), so that
# Wine draws it for real, takes a screenshot while it is up and writes it as PNG. A screenshot of
# one colour shows nothing and fails.
#   picker-screenshot.sh DEMO.exe OUT.png
set -euo pipefail
rig="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$rig/wine-env.sh"
if [[ "${1:-}" != --on-display ]]; then
  [[ $# -eq 2 ]] || orvel_wine_fail "usage: picker-screenshot.sh DEMO.exe OUT.png"
  for tool in xwd xwdtopnm ppmhist pnmtopng; do
    command -v "$tool" >/dev/null || orvel_wine_fail "$tool is missing (run tools/install-deps.sh)"
  done
  ORVEL_X11_SCREEN=640x480x24 exec "$rig/x11-run.sh" "${BASH_SOURCE[0]}" --on-display "$@"
fi
demo="$2" out="$3"

work="$(mktemp -d "${TMPDIR:-/tmp}/orvel-picker.XXXXXX")"
demo_pid=""
cleanup() {
  [[ -z "$demo_pid" ]] || kill "$demo_pid" 2>/dev/null || true
  rm -rf -- "$work"
}
trap cleanup EXIT

"$rig/run.sh" "$demo" "$(orvel_winpath "$work/ready")" "$(orvel_winpath "$work/done")" &
demo_pid=$!
for _ in $(seq 900); do
  [[ -e "$work/ready" ]] && break
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.1
done
colours=0
if [[ -e "$work/ready" ]]; then
  mkdir -p "$(dirname "$out")"
  xwd -root -screen -silent | xwdtopnm 2>/dev/null >"$work/shot.ppm"
  pnmtopng <"$work/shot.ppm" >"$out"
  colours="$(ppmhist -noheader "$work/shot.ppm" | wc -l)"
fi
touch "$work/done"
rc=0
wait "$demo_pid" || rc=$?
demo_pid=""
[[ -e "$work/ready" ]] || orvel_wine_fail "no screenshot taken"
echo "screenshot: $out ($colours colours)"
[[ $colours -gt 1 ]] || orvel_wine_fail "the screenshot is of one colour: nothing was drawn"
exit "$rc"
