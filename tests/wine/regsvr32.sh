#!/usr/bin/env bash
# Registers (or with -u unregisters) an in-process COM server in the project's Wine prefix, the
# way an installer does: regsvr32 /s, so no message box waits for a click. Fails when the module
# cannot be loaded or its DllRegisterServer/DllUnregisterServer fails.
#
#   regsvr32.sh [-u] MODULE.dll
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

flags=(/s)
if [[ "${1:-}" == -u ]]; then
  flags+=(/u)
  shift
fi
[[ $# -eq 1 ]] || orvel_wine_fail "usage: regsvr32.sh [-u] MODULE.dll"
[[ -f "$1" ]] || orvel_wine_fail "no such module: $1"

orvel_wine_prefix
rc=0
orvel_wine_run regsvr32 "${flags[@]}" "$(orvel_winpath "$1")" || rc=$?
if [[ $rc -ne 0 ]]; then
  orvel_wine_fail "regsvr32 ${flags[*]} $1 failed with exit code $rc"
fi
