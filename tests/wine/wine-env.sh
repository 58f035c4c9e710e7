# Sourced by the Wine rig's scripts: the project's own 64-bit prefix, set up as a Russian Windows
# installation (ANSI code page 1251, decimal comma, dd.MM.yyyy dates), created on first use.
#
#   ORVEL_WINEPREFIX   the prefix to use (default ~/.cache/orvel27/wine64)
#   ORVEL_WINE_LOCALE  the installation's regional settings (default ru_RU.UTF-8). Wine keeps them
#                      in the prefix's registry and rewrites it when a process starts with other
#                      ones, so each other locale has a prefix of its own beside the first one:
#                      en_US.UTF-8 uses ORVEL_WINEPREFIX-en_US.
#   WINEDEBUG          Wine's debug channels (default -all: quiet, crash backtraces still shown)

export WINEPREFIX="${ORVEL_WINEPREFIX:-${HOME:-/root}/.cache/orvel27/wine64}"
ORVEL_WINE_LOCALE="${ORVEL_WINE_LOCALE:-ru_RU.UTF-8}"
if [[ "$ORVEL_WINE_LOCALE" != ru_RU.UTF-8 ]]; then
  WINEPREFIX+="-${ORVEL_WINE_LOCALE%%.*}"
fi
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installer dialogs (nothing we run needs .NET or the HTML engine), and no desktop
# menu entries or file associations written into the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Wine takes its regional settings from the locale variables; glibc need not know the locale. The
# variable goes only to Wine's processes: bash itself warns when it cannot switch to a locale.
# What console programs write into a pipe is in the OEM code page of that installation (the
# script tests run under the Russian one).
ORVEL_WINE_CONSOLE_CHARSET=CP866

orvel_wine_fail() {
  echo "${0##*/}: $*" >&2
  exit 1
}

# Runs a Wine tool (wine, wineboot, wineserver) with the rig's locale.
orvel_wine() {
  env LC_ALL="$ORVEL_WINE_LOCALE" "$@"
}

# Runs a Windows program (wine ARGS...) and returns its exit code once it ends. Wine's helper
# processes (the desktop window process, services) inherit the program's standard error and keep
# it open for seconds after the program has gone, which would hold up anyone reading to its end
# (CTest, a pipe, $(...)). So the program writes its errors to a file that is copied to ours while
# it runs, and we stop copying when the program ends.
orvel_wine_run() {
  local errors pid copier rc=0
  errors="$(mktemp "${TMPDIR:-/tmp}/orvel-wine-stderr.XXXXXX")"
  # A background job would read /dev/null instead of our standard input (which may be closed).
  if ! { exec {stdin}<&0; } 2>/dev/null; then
    exec {stdin}</dev/null
  fi
  orvel_wine wine "$@" <&"$stdin" 2>"$errors" &
  pid=$!
  exec {stdin}<&-
  tail -n +1 -f -s 0.1 --pid="$pid" -- "$errors" >&2 &
  copier=$!
  # Whoever stops us (a time-out, Ctrl+C) stops the program too.
  trap 'kill -TERM "$pid" 2>/dev/null' TERM INT HUP
  while true; do
    rc=0
    wait "$pid" || rc=$?
    kill -0 "$pid" 2>/dev/null || break
  done
  trap - TERM INT HUP
  wait "$copier" || true
  rm -f -- "$errors"
  return "$rc"
}

# A Windows path for a file on the Linux side (Wine maps drive Z: to /).
orvel_winpath() {
  local path
  path="$(realpath -m -- "$1")"
  printf 'Z:%s' "${path//\//\\}"
}

# Creates the prefix once, under a lock, so that tests started in parallel neither race on a
# half-made prefix nor create it twice. The marker is written last and records the Wine version,
# so an interrupted creation is finished and an upgraded Wine refreshes the prefix.
orvel_wine_prefix() {
  local version ready="$WINEPREFIX/.orvel-ready" lock
  command -v wine >/dev/null || orvel_wine_fail "wine is not installed (run tools/install-deps.sh)"
  version="$(wine --version 2>/dev/null)" || orvel_wine_fail "wine --version failed"
  # The marker also names the prefix's settings, so a prefix made before a setting was added is
  # brought up to date.
  version+="; display x11,null"
  if [[ -f "$ready" && "$(<"$ready")" == "$version" ]]; then
    return 0
  fi
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec {lock}>"$WINEPREFIX.lock"
  flock -w 900 "$lock" || orvel_wine_fail "timed out waiting for $WINEPREFIX.lock"
  if ! [[ -f "$ready" && "$(<"$ready")" == "$version" ]]; then
    echo "${0##*/}: preparing the Wine prefix $WINEPREFIX ($version)" >&2
    local boot=-i
    if [[ -f "$WINEPREFIX/system.reg" ]]; then
      boot=-u
    elif [[ -e "$WINEPREFIX" ]]; then
      rm -rf -- "$WINEPREFIX"
    fi
    # Without a display Wine has nowhere to show dialogs; keep its own output for the log.
    local log="$WINEPREFIX.boot.log"
    if ! orvel_wine wineboot "$boot" >"$log" 2>&1; then
      cat "$log" >&2
      orvel_wine_fail "wineboot $boot failed"
    fi
    # A crashing test must print its backtrace and exit, never wait for a click on a crash dialog.
    orvel_wine wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      >>"$log" 2>&1 || orvel_wine_fail "could not switch off the crash dialog"
    # Tests make windows (the driver's modal guard): without an X display the null display
    # driver keeps windows, activation and focus working; under Xvfb the X11 driver draws them.
    orvel_wine wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11,null /f \
      >>"$log" 2>&1 || orvel_wine_fail "could not choose the display drivers"
    orvel_wine wineserver -w
    printf '%s\n' "$version" >"$ready.tmp"
    mv -f -- "$ready.tmp" "$ready"
  fi
  exec {lock}>&-
}
