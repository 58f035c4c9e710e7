#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix (see wine-env.sh) and exits with the
# program's exit code. CTest uses it as the emulator of the win64 build.
#
#   run.sh PROGRAM [ARGS...]     run a program (a Linux path or a name such as cmd)
#   run.sh --prepare             only create the prefix
#   run.sh --stop [SECONDS]      wait for every process of the prefix to end and its server to
#                                shut down; kill them if that takes longer (default 60 s)
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

case "${1:-}" in
  "")
    orvel_wine_fail "usage: run.sh PROGRAM [ARGS...] | --prepare | --stop [SECONDS]" ;;
  --prepare)
    orvel_wine_prefix
    exit 0 ;;
  --stop)
    [[ -d "$WINEPREFIX" ]] || exit 0
    if ! timeout "${2:-60}" wineserver -w; then
      echo "run.sh: Wine processes still running in $WINEPREFIX; killing them" >&2
      wineserver -k || true
    fi
    exit 0 ;;
esac

orvel_wine_prefix
rc=0
orvel_wine_run "$@" || rc=$?
exit "$rc"
