#!/usr/bin/env bash
# Runs the port picker demo under a virtual X server so Wine draws it for real, takes a
# screenshot while it is up and writes it as PNG.
#   picker-screenshot.sh DEMO.exe OUT.png
set -euo pipefail
rig="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$rig/wine-env.sh"
[[ $# -eq 2 ]] || orvel_wine_fail "usage: picker-screenshot.sh DEMO.exe OUT.png"
demo="$1" out="$2"
for tool in Xvfb xwd xwdtopnm pnmtopng; do
  command -v "$tool" >/dev/null || orvel_wine_fail "$tool is missing (run tools/install-deps.sh)"
done

work="$(mktemp -d "${TMPDIR:-/tmp}/orvel-picker.XXXXXX")"
xvfb_pid=""
demo_pid=""
cleanup() {
  [[ -z "$demo_pid" ]] || kill "$demo_pid" 2>/dev/null || true
  [[ -z "$xvfb_pid" ]] || kill "$xvfb_pid" 2>/dev/null || true
  rm -rf -- "$work"
}
trap cleanup EXIT

# A display number of its own, chosen by the server, so parallel runs never share one.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { cat "$work/xvfb.log" >&2; orvel_wine_fail "Xvfb did not start"; }
export DISPLAY=":$(<"$work/display")"

"$rig/run.sh" "$demo" "$(orvel_winpath "$work/ready")" "$(orvel_winpath "$work/done")" &
demo_pid=$!
for _ in $(seq 900); do
  [[ -e "$work/ready" ]] && break
  kill -0 "$demo_pid" 2>/dev/null || break
  sleep 0.1
done
shot=0
if [[ -e "$work/ready" ]]; then
  mkdir -p "$(dirname "$out")"
  xwd -root -screen -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out" && shot=1
fi
touch "$work/done"
rc=0
wait "$demo_pid" || rc=$?
demo_pid=""
[[ $shot -eq 1 ]] || orvel_wine_fail "no screenshot taken"
echo "screenshot: $out"
exit "$rc"
