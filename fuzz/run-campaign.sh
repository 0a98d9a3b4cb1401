#!/usr/bin/env bash
# A long fuzzing campaign, outside the test command: builds the fuzz targets and runs each for
# HSSCHOOL_FUZZ_RUNS inputs (ten million unless told), starting from its seed corpus, and prints
# each target's final figures. Any finding stops the campaign with the target's report and the
# input that caused it (written to the current directory by the fuzzer).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${HSSCHOOL_FUZZ_RUNS:-10000000}

cmake --preset fuzz
cmake --build --preset fuzz
for target in build/fuzz/fuzz/*/fuzz_*; do
  [ -x "$target" ] || continue
  folder=$(basename "$(dirname "$target")")
  corpus=$(mktemp -d)
  echo "== $(basename "$target"): $runs inputs"
  start=$(date +%s)
  "$target" -runs="$runs" -rss_limit_mb=2048 -print_final_stats=1 "$corpus" "fuzz/$folder/corpus" 2>&1 |
    grep -E '^stat::|ERROR|SUMMARY|crash-|leak-|timeout-'
  echo "   $(($(date +%s) - start)) s"
  rm -rf "$corpus"
done
