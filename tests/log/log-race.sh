#!/usr/bin/env bash
# Two processes trace a few thousand long lines each into the same day's debug log at once; then
# every line of the file must be whole and each writer's lines all there, in order. The same for
# the event log, with two objects writing in each process.
#
#   log-race.sh [--wine RUN_SH] WRITER
#
# With --wine the writer is a Windows program, and both writers run as Windows processes under
# Wine (RUN_SH is the rig's tests/wine/run.sh).
set -euo pipefail
runner=()
if [[ "${1:-}" == --wine ]]; then
  runner=("$(realpath "$2")")
  shift 2
fi
writer="$(realpath "$1")"
lines=3000
length=6000
folder="$(mktemp -d "${TMPDIR:-/tmp}/orvel-log-race.XXXXXX")"
trap 'rm -rf -- "$folder"' EXIT
# The writers get the folder as "." so that a Windows program reads it too.
cd "$folder"
"${runner[@]}" "$writer" write . a "$lines" "$length" 2 &
first=$!
"${runner[@]}" "$writer" write . b "$lines" "$length" 2 &
second=$!
rc=0
wait "$first" || rc=$?
wait "$second" || rc=$?
[[ $rc -eq 0 ]] || { echo "log-race: a writer failed ($rc)" >&2; exit 1; }
"${runner[@]}" "$writer" check . "$length" "a:$lines" "b:$lines"

mkdir events
cd events
events=$((lines / 2))
"${runner[@]}" "$writer" write . a "$events" "$length" 2 events &
first=$!
"${runner[@]}" "$writer" write . b "$events" "$length" 2 events &
second=$!
rc=0
wait "$first" || rc=$?
wait "$second" || rc=$?
[[ $rc -eq 0 ]] || { echo "log-race: an event writer failed ($rc)" >&2; exit 1; }
"${runner[@]}" "$writer" check . "$length" events "a1:$events" "a2:$events" "b1:$events" "b2:$events"
