#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for a bounded time on a copy
# of its seed corpus. A crash or a sanitizer report fails the run.
# Usage: scripts/fuzz.sh [seconds per target]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-${TOLVANE_FUZZ_SECONDS:-60}}"
bash scripts/deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
total=0
for seeds in fuzz/corpus/*/; do
  name="$(basename "$seeds")"
  mkdir -p "$work/$name"
  log="$work/$name.log"
  # Findings are written into the scratch folder, never into the repository.
  if ! "build/fuzz/fuzz/${name}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$work/$name-" "$work/$name" "$seeds" >"$log" 2>&1; then
    tail -n 40 "$log"
    for crash in "$work/$name"-*; do [ -e "$crash" ] && { echo "input:"; od -c "$crash" | head -20; }; done
    echo "fuzz: $name FAILED"
    exit 1
  fi
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")"
  total=$((total + runs))
  echo "fuzz: $name: $runs executions in ${seconds}s, no crash"
done
echo "fuzz: $total executions in all"
