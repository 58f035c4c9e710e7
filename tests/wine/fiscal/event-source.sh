#!/usr/bin/env bash
# regsvr32 registers the driver's event source in the Application log, with the module itself as
# its message file, and regsvr32 /u removes it.
#
#   event-source.sh MODULE.dll
set -euo pipefail
rig="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$rig/wine-env.sh"
[[ $# -eq 1 && -f "$1" ]] || orvel_wine_fail "usage: event-source.sh MODULE.dll"
key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\orvel27fr'

orvel_wine_prefix
"$rig/regsvr32.sh" "$1"
registered="$(orvel_wine_run reg query "$key" /v EventMessageFile 2>/dev/null | tr -d '\r')" ||
  orvel_wine_fail "no event source after regsvr32"
grep -qi 'REG_EXPAND_SZ.*orvel27fr\.dll$' <<<"$registered" ||
  orvel_wine_fail "the event source names another message file: $registered"
orvel_wine_run reg query "$key" /v TypesSupported 2>/dev/null | tr -d '\r' | grep -q 'REG_DWORD.*0x7$' ||
  orvel_wine_fail "the event source does not take errors, warnings and information"
"$rig/regsvr32.sh" -u "$1"
if orvel_wine_run reg query "$key" >/dev/null 2>&1; then
  orvel_wine_fail "the event source is still there after regsvr32 /u"
fi
echo "event-source: registered with the module's messages, removed with the driver"
