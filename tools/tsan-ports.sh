#!/usr/bin/env bash
# Builds the port picker's tests with ThreadSanitizer (preset linux-tsan, build/linux-tsan) and
# runs them: the open test writes the picker's records on its own thread while the tests rebuild
# and read them.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
tools/build.sh linux-tsan
# halt_on_error: a race fails the run instead of scrolling past.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
  build/linux-tsan/bin/orvel27_ports_tests --gtest_brief=1 "$@"
