#!/usr/bin/env bash
# A debug log repeated: runs a session with the debug log on against a new virtual printer, turns
# the driver's log into a scenario with --from-log, runs that on another new printer and checks
# that the printer saw the same calls with the same arguments.
#
#   replay.sh HOST DRIVER SESSION.json WORK_DIR
set -euo pipefail
host="$1" driver="$2" session="$3" work="$4"
rm -rf -- "$work"
mkdir -p "$work"
export ORVEL_REGISTRY="$work/registry.txt"

AZIMUTH_EMU_DIR="$work/printer-logged" "$host" --library "$driver" --workdir "$work/logged" "$session" >"$work/logged.out"
log="$(find "$work/logged/devices" -name 'Debug_*.log' | head -n 1)"
[[ -n "$log" ]] || { echo "replay: the session wrote no debug log"; exit 1; }
"$host" --from-log "$log" >"$work/replayed.json"
cat "$work/replayed.json"
AZIMUTH_EMU_DIR="$work/printer-replayed" "$host" --library "$driver" --workdir "$work/replayed" "$work/replayed.json" \
  >"$work/replayed.out" || { cat "$work/replayed.out"; exit 1; }

# The calls without their numbers; the time of day a printer reports is its own. Two printers that
# saw nothing are alike too, which proves nothing: each must have journalled calls.
calls() { sed -E 's/,?"seq":[0-9]+//' "$1/port-COM1/journal.jsonl"; }
for printer in logged replayed; do
  [[ -s "$work/printer-$printer/port-COM1/journal.jsonl" ]] ||
    { echo "replay: the $printer session's printer journalled no call"; exit 1; }
done
if ! diff <(calls "$work/printer-logged") <(calls "$work/printer-replayed"); then
  echo "replay: the printer saw other calls"
  exit 1
fi
echo "replay: $(calls "$work/printer-replayed" | wc -l) printer calls repeated alike"
