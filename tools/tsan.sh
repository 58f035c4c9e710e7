#!/usr/bin/env bash
# Builds the threaded parts' tests with ThreadSanitizer (preset linux-tsan, build/linux-tsan) and
# runs them: the port picker's open test writes the picker's records on its own thread while the
# tests rebuild and read them; driver objects on several threads print receipts and template
# documents on their own virtual printers, share the template store and trace into one log.
# Arguments go to both test programs (a --gtest_filter, say). Ends in a line
# "tsan: N passed, M failed" (programs); fails when any program fails.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
tools/build.sh linux-tsan
# halt_on_error: a race fails the run instead of scrolling past.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
passed=0
failed=0
for program in orvel27_ports_tests orvel27_concurrency_tests; do
  echo "--- $program"
  t=$SECONDS
  if build/linux-tsan/bin/$program --gtest_brief=1 "$@"; then
    passed=$((passed + 1))
  else
    echo "tsan: $program FAILED"
    failed=$((failed + 1))
  fi
  echo "--- $program: $((SECONDS - t)) s"
done
echo "tsan: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
