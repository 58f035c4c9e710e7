#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own 64-bit prefix, behaving as a Russian
# Windows installation (ANSI code page 1251, decimal comma, dd.MM.yyyy dates).
set -euo pipefail
export WINEPREFIX="${ORVEL_WINEPREFIX:-${HOME:-/root}/.cache/orvel27/wine64}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export LC_ALL=ru_RU.UTF-8
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  ( flock 9; [ -f "$WINEPREFIX/system.reg" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; } ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
