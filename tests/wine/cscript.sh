#!/usr/bin/env bash
# Runs a VBScript (.vbs) or JScript (.js) file with the console script host in the project's Wine
# prefix and decides the result from what the script printed. The host prints nothing and exits 0
# when a script fails to parse or raises an unhandled error, so its exit code alone proves
# nothing: the script's last line must be its own summary "RESULT: N passed, 0 failed" with N > 0.
#
#   cscript.sh [--include LIB]... SCRIPT [ARGS...]
#
# Each --include file is put in front of the script (the hosts have no include statement of their
# own); lib/check.vbs and lib/check.js provide Check/Summary for this.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

includes=()
while [[ "${1:-}" == --include ]]; do
  [[ $# -ge 2 ]] || orvel_wine_fail "--include needs a file"
  includes+=("$2")
  shift 2
done
[[ $# -ge 1 ]] || orvel_wine_fail "usage: cscript.sh [--include LIB]... SCRIPT [ARGS...]"
script="$1"
shift
for f in "${includes[@]}" "$script"; do
  [[ -f "$f" ]] || orvel_wine_fail "no such script: $f"
done

work="$(mktemp -d "${TMPDIR:-/tmp}/orvel-cscript.XXXXXX")"
trap 'rm -rf -- "$work"' EXIT
run="$script"
if [[ ${#includes[@]} -gt 0 ]]; then
  # Same name and extension: the host picks the language by extension and names the file in errors.
  run="$work/$(basename -- "$script")"
  for f in "${includes[@]}" "$script"; do
    cat -- "$f"
    echo
  done >"$run"
fi

orvel_wine_prefix
rc=0
orvel_wine_run cscript //nologo "$(orvel_winpath "$run")" "$@" |
  iconv -f "$ORVEL_WINE_CONSOLE_CHARSET" -t UTF-8 | tee "$work/output" || rc=${PIPESTATUS[0]}
last="$(tr -d '\r' <"$work/output" | sed '/^[[:space:]]*$/d' | tail -n 1)"
if [[ ! "$last" =~ ^RESULT:\ ([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
  orvel_wine_fail "$script: no summary line at the end (exit code $rc; a parse error or an unhandled error stops a script silently)"
fi
if [[ ${BASH_REMATCH[2]} -ne 0 ]]; then
  orvel_wine_fail "$script: ${BASH_REMATCH[2]} check(s) failed"
fi
if [[ ${BASH_REMATCH[1]} -eq 0 ]]; then
  orvel_wine_fail "$script: no check ran"
fi
if [[ $rc -ne 0 ]]; then
  orvel_wine_fail "$script: the script host exited with code $rc"
fi
