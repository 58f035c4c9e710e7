#!/usr/bin/env bash
# The main job: the host simulator drives the driver on the virtual printer, the way the host's
# equipment manager would, and shows what the printer journaled and printed.
#
#   tools/run-demo.sh [--no-build] [--wine] [--fresh]
#
#   (default)   native Linux build (linux-release): liborvel27fr.so + libazimuth.so
#   --wine      the Windows build (win64): orvel27-host.exe, orvel27fr.dll and azimuth.dll under Wine
#   --fresh     start with a new printer (otherwise the printer keeps its shifts between runs)
#   --no-build  use what is already built
#
# The printer's state, paper and journal are in build/demo/printer/port-COM1; the driver's device
# folder (debug log) in build/demo/work.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=1 wine=0 fresh=0
for arg in "$@"; do
  case "$arg" in
    --no-build) build=0 ;;
    --wine) wine=1 ;;
    --fresh) fresh=1 ;;
    *) echo "usage: tools/run-demo.sh [--no-build] [--wine] [--fresh]" >&2; exit 2 ;;
  esac
done

preset=linux-release
[[ $wine -eq 0 ]] || preset=win64
if [[ $build -eq 1 ]]; then
  tools/install-deps.sh
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "${ORVEL_JOBS:-2}" --target orvel27-host orvel27fr azimuth
fi

demo="$PWD/build/demo"
printer="$demo/printer"
[[ $fresh -eq 0 ]] || rm -rf -- "$printer"
mkdir -p "$demo/work" "$printer"
bin="build/$preset/bin"
# A day at the till, in order.
scenarios=(examples/fiscal-connect.json examples/fiscal-open-shift.json examples/fiscal-sale.json
           examples/fiscal-return.json examples/fiscal-copy.json examples/fiscal-text.json
           examples/template-upload.json examples/fiscal-xreport.json examples/fiscal-cash.json
           examples/fiscal-zreport.json)
paper="$printer/port-COM1/paper.txt"
journal="$printer/port-COM1/journal.jsonl"
# The paper of earlier runs stays on the roll: show only what this run prints.
printed_before=0
[[ ! -f "$paper" ]] || printed_before=$(wc -l < "$paper")

if [[ $wine -eq 0 ]]; then
  export AZIMUTH_EMU_DIR="$printer"
  export ORVEL_REGISTRY="$demo/registry.txt"
  for s in "${scenarios[@]}"; do
    echo "== orvel27-host $s"
    "$bin/orvel27-host" --library "$bin/liborvel27fr.so" --workdir "$demo/work" "$s"
  done
else
  AZIMUTH_EMU_DIR="Z:${printer//\//\\}"
  export AZIMUTH_EMU_DIR
  for s in "${scenarios[@]}"; do
    echo "== orvel27-host.exe $s (Wine)"
    tests/wine/run.sh "$bin/orvel27-host.exe" --library "$bin/orvel27fr.dll" --workdir "$demo/work" "$s"
  done
fi

echo
echo "== the printer's paper ($paper), printed by this run"
[[ -f "$paper" ]] && tail -n "+$((printed_before + 1))" "$paper" || echo "(nothing printed)"
echo
echo "== the printer's journal ($journal), last 12 calls"
[[ -f "$journal" ]] && tail -n 12 "$journal" || echo "(no calls)"
