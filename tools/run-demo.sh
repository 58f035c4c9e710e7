#!/usr/bin/env bash
# The main job: the host simulator drives the driver on the virtual printer, the way the host's
# equipment manager would, through a day at the till. Each step shows in a line: the call, its
# result and the values that matter, a table as its size and first rows, and the paper a call
# printed right under it. The full trace (every call with all its arguments) goes to a log file.
#
#   tools/run-demo.sh [--no-build] [--wine] [--fresh] [--trace]
#
#   (default)   native Linux build (linux-release): liborvel27fr.so + libazimuth.so
#   --wine      the Windows build (win64): orvel27-host.exe, orvel27fr.dll and azimuth.dll under Wine
#   --fresh     start with a new printer (otherwise the printer keeps its shifts between runs)
#   --no-build  use what is already built
#   --trace     show the full trace instead, then the paper and the printer's last calls
#
# Files: the full trace in build/demo/trace.log, the build's output in build/demo/build.log, the
# printer's state, paper and journal in build/demo/printer/port-COM1, the driver's device folder
# (debug log) in build/demo/work.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=1 wine=0 fresh=0 trace=0
for arg in "$@"; do
  case "$arg" in
    --no-build) build=0 ;;
    --wine) wine=1 ;;
    --fresh) fresh=1 ;;
    --trace) trace=1 ;;
    *) echo "usage: tools/run-demo.sh [--no-build] [--wine] [--fresh] [--trace]" >&2; exit 2 ;;
  esac
done

demo="$PWD/build/demo"
printer="$demo/printer"
log="$demo/trace.log"
mkdir -p "$demo/work" "$printer"
preset=linux-release
[[ $wine -eq 0 ]] || preset=win64
if [[ $build -eq 1 ]]; then
  echo "building $preset (output in build/demo/build.log)..."
  if ! { tools/install-deps.sh && cmake --preset "$preset" &&
         cmake --build --preset "$preset" -j "${ORVEL_JOBS:-2}" --target orvel27-host orvel27fr azimuth; } \
       >"$demo/build.log" 2>&1; then
    tail -n 30 "$demo/build.log"
    echo "the build failed; its whole output is in build/demo/build.log" >&2
    exit 1
  fi
fi

started=$SECONDS
[[ $fresh -eq 0 ]] || rm -rf -- "$printer"
mkdir -p "$printer"
: >"$log"
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
[[ ! -f "$paper" ]] || printed_before=$(wc -l <"$paper")

# Paths as the Windows build under Wine reads them.
winpath() { local p="Z:$1"; echo "${p//\//\\}"; }
if [[ $wine -eq 0 ]]; then
  export AZIMUTH_EMU_DIR="$printer"
  # The demo registers the driver in a registry of its own, not in the user's.
  export ORVEL_REGISTRY="$demo/registry.txt"
  host=("$bin/orvel27-host" --library "$bin/liborvel27fr.so")
  brief=(--brief --trace "$log" --paper "$paper")
else
  AZIMUTH_EMU_DIR=$(winpath "$printer")
  export AZIMUTH_EMU_DIR
  host=(tests/wine/run.sh "$bin/orvel27-host.exe" --library "$bin/orvel27fr.dll")
  brief=(--brief --trace "$(winpath "$log")" --paper "$(winpath "$paper")")
fi
[[ $trace -eq 0 ]] || brief=()

echo "Orvel27 demo: the host simulator drives the driver on the virtual printer ($preset)."
echo "Full trace: build/demo/trace.log (or run with --trace). Printer: build/demo/printer/port-COM1."
passed=0 failed=0 steps=0 documents=0
out="$demo/scenario.out"
for s in "${scenarios[@]}"; do
  echo
  echo "== $(basename "$s" .json)"
  rc=0
  "${host[@]}" --workdir "$demo/work" "${brief[@]}" "$s" | tee "$out" || rc=${PIPESTATUS[0]}
  # With --trace the trace is what was shown; it goes into the log all the same.
  [[ $trace -eq 0 ]] || cat "$out" >>"$log"
  if [[ $rc -eq 0 ]]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
  n=$(sed -n 's/^PASSED \([0-9]*\) steps.*/\1/p' "$out" | tail -n 1)
  steps=$((steps + ${n:-0}))
  n=$(sed -n 's/^documents printed: \([0-9]*\).*/\1/p' "$out" | tail -n 1)
  documents=$((documents + ${n:-0}))
done

if [[ $trace -eq 1 ]]; then
  echo
  echo "== the printer's paper ($paper), printed by this run"
  [[ -f "$paper" ]] && tail -n "+$((printed_before + 1))" "$paper" || echo "(nothing printed)"
  echo
  echo "== the printer's journal ($journal), last 12 calls"
  [[ -f "$journal" ]] && tail -n 12 "$journal" || echo "(no calls)"
fi

echo
echo "== summary"
echo "scenarios: $passed passed, $failed failed; steps passed: $steps"
[[ $trace -eq 1 ]] || echo "documents printed: $documents"
echo "time: $((SECONDS - started)) s"
echo "full trace: build/demo/trace.log; paper: build/demo/printer/port-COM1/paper.txt"
[[ $failed -eq 0 ]]
