#!/usr/bin/env bash
# Builds the libFuzzer targets (preset linux-fuzz: clang, ASan + UBSan) and runs each for a bounded
# time, starting from the shipped seeds; a crash, leak or sanitizer report fails the run and leaves
# the input that caused it in build/fuzz/<fuzzer>/.
#
#   tools/run-fuzzers.sh [seconds per fuzzer, default 20]
#
# CI runs them all within its 30 minutes on 2 cores: 7 fuzzers × 20 s is under 2.5 minutes of
# fuzzing, about 4.5 with the build once ccache is warm. Raise the seconds for a longer local run.
#
# A fuzzer's resident size climbs to about 500 MB over its first thousand inputs and then creeps:
# that is AddressSanitizer holding freed memory in quarantine (256 MB) and keeping its size-class
# caches, and libFuzzer's per-input feature tables. The live heap of fuzz_invoke stays near 30 MB,
# most of it libFuzzer's own (ASAN_OPTIONS=quarantine_size_mb=16 keeps the process near 200 MB).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds="${1:-20}"

cmake --preset linux-fuzz >/dev/null
cmake --build --preset linux-fuzz -j "${ORVEL_JOBS:-2}"

# Seed files of each fuzzer (globs, relative to the repository).
declare -A seeds=(
  [fuzz_variant_text]=""
  [fuzz_scenario]="examples/*.json"
  [fuzz_template_render]="tests/fuzz/corpus/template-render/*"
  [fuzz_template_xml]="tests/fuzz/corpus/template-xml/*"
  [fuzz_invoke]="tests/fuzz/corpus/invoke/*"
  [fuzz_emulator_state]="tests/fuzz/corpus/emulator-state/*"
  [fuzz_settings_pages]="tests/fuzz/corpus/settings-pages/*"
)
failed=()
for fuzzer in fuzz_variant_text fuzz_scenario fuzz_template_render fuzz_template_xml fuzz_invoke fuzz_emulator_state \
    fuzz_settings_pages; do
  work="build/fuzz/$fuzzer"
  mkdir -p "$work/corpus"
  # A fuzzer started without its seeds spends its time finding the input format again: a seed
  # glob that matches nothing (a moved or missing folder) fails the run.
  if [[ -n "${seeds[$fuzzer]}" ]]; then
    # shellcheck disable=SC2086 # the globs are meant to expand
    if ! compgen -G "${seeds[$fuzzer]}" >/dev/null || ! cp -f ${seeds[$fuzzer]} "$work/corpus/"; then
      echo "fuzzers: no seeds for $fuzzer in ${seeds[$fuzzer]}" >&2
      failed+=("$fuzzer")
      continue
    fi
  fi
  echo "== $fuzzer for $seconds s"
  if ! (cd "$work" && "$OLDPWD/build/linux-fuzz/bin/$fuzzer" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 corpus 2>&1 | tail -n 15); then
    failed+=("$fuzzer")
  fi
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "fuzzers: failed: ${failed[*]} (inputs in build/fuzz/)" >&2
  exit 1
fi
echo "fuzzers: ${#seeds[@]} ran $seconds s each without a finding"
