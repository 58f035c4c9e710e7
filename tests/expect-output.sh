#!/usr/bin/env bash
# Runs a test program and passes only when it exits with 0 AND its output has a line matching
# each expected pattern. Either alone can lie: a program that dies half way has been seen to end
# with exit code 0 (a stack overflow under Wine), and one that has printed its closing line can
# still fail after it (a leak report at exit, a crash in a static destructor or at unload).
#
#   expect-output.sh [--expect REGEX]... -- PROGRAM [ARGS...]      (REGEX: grep -E, per line)
set -uo pipefail
patterns=()
while [[ $# -gt 0 && "$1" != -- ]]; do
  [[ "$1" == --expect && $# -ge 2 ]] || { echo "usage: expect-output.sh [--expect REGEX]... -- PROGRAM [ARGS...]" >&2; exit 2; }
  patterns+=("$2")
  shift 2
done
[[ $# -ge 2 ]] || { echo "expect-output.sh: no program to run" >&2; exit 2; }
shift

output="$(mktemp "${TMPDIR:-/tmp}/orvel-test-output.XXXXXX")"
trap 'rm -f -- "$output"' EXIT
"$@" 2>&1 | tee "$output"
rc=${PIPESTATUS[0]}
if [[ $rc -ne 0 ]]; then
  echo "expect-output: ${1##*/} ended with exit code $rc"
  exit "$rc"
fi
for pattern in "${patterns[@]}"; do
  if ! tr -d '\r' <"$output" | grep -qE -- "$pattern"; then
    echo "expect-output: ${1##*/} ended with exit code 0 but never printed /$pattern/"
    exit 1
  fi
done
