#!/usr/bin/env bash
# Runs every benchmark executable (bench_*) built in BUILD_DIR/bench, one
# after the other, and prints their reports.
# Usage: bench/run-all.sh BUILD_DIR
# Exits non-zero when a benchmark is missing or fails to run; a missed speed
# target is reported by the benchmark itself and is not a failure here.
set -uo pipefail

build_dir=${1:?usage: $0 BUILD_DIR}
bench_dir="$build_dir/bench"
if [[ ! -d "$bench_dir" ]]; then
  echo "run-all.sh: no benchmarks built in $bench_dir" >&2
  exit 1
fi

shopt -s nullglob
found=0
failed=()
for exe in "$bench_dir"/bench_*; do
  [[ -f "$exe" && -x "$exe" ]] || continue
  found=$((found + 1))
  echo "=== $(basename "$exe")"
  if ! "$exe"; then
    failed+=("$(basename "$exe")")
  fi
  echo
done

if [[ $found -eq 0 ]]; then
  echo "run-all.sh: no bench_* executables in $bench_dir" >&2
  exit 1
fi
if [[ ${#failed[@]} -gt 0 ]]; then
  echo "run-all.sh: failed: ${failed[*]}" >&2
  exit 1
fi
echo "run-all.sh: $found benchmark(s) ran"
