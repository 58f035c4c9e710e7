#!/usr/bin/env bash
# Prints the include graph of one source folder (default: the framework), a line per module (a
# header and its source taken together) with the modules it includes, then whether the modules
# form a cycle. Exits 1 when they do.
#   bash tools/include-graph.sh [folder]
set -euo pipefail
dir=${1:-$(dirname "${BASH_SOURCE[0]}")/../src/framework}
folder=$(basename "$dir")

edges=$(for file in "$dir"/*.h "$dir"/*.cpp; do
  from=$(basename "${file%.*}")
  sed -n 's/^#include "\(.*\)\.[a-z]*"$/\1/p' "$file" | while read -r include; do
    # A module of this folder by its bare name, any other by its path.
    to=${include#"$folder"/}
    [[ $to == "$from" ]] || echo "$from $to"
  done
done | sort -u)

for module in $(for file in "$dir"/*.h "$dir"/*.cpp; do basename "${file%.*}"; done | sort -u); do
  echo "$module -> $(awk -v m="$module" '$1 == m { printf "%s ", $2 }' <<<"$edges")"
done
if loop=$(tsort <<<"$edges" 2>&1 >/dev/null) && [[ -z $loop ]]; then
  echo "no cycle"
else
  echo "cycle:"
  sed -n 's/^tsort: //p' <<<"$loop" | grep -v 'input contains a loop' | sed 's/^/  /'
  exit 1
fi
