#!/usr/bin/env bash
# Configures and builds the given CMake presets (default: all four) in build/<preset>, with at
# most two compile jobs (ORVEL_JOBS to change). Fails when any preset fails, after trying all. A build folder left by another checkout is made
# anew; one of this checkout is reused, so repeated builds are incremental.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
# Object files are cached by paths relative to the checkout, so a fresh clone in another folder
# (as CI makes) reuses what an earlier build of the same sources compiled.
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"

presets=("$@")
[[ ${#presets[@]} -gt 0 ]] || presets=(linux-debug linux-release win64 win32)
failed=()
for preset in "${presets[@]}"; do
  cache="build/$preset/CMakeCache.txt"
  if [[ -f "$cache" ]] && ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$PWD" "$cache"; then
    echo "build: build/$preset belongs to another checkout; starting it afresh"
    rm -rf -- "build/$preset"
  fi
  # Keep going past a failure: one run shows every error, and whatever does build can be tested.
  if ! { cmake --preset "$preset" && cmake --build --preset "$preset" -j "${ORVEL_JOBS:-2}" -- -k 0; }; then
    failed+=("$preset")
  fi
done
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "build: failed: ${failed[*]}" >&2
  exit 1
fi
