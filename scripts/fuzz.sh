#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and runs each for a while.
# Usage: scripts/fuzz.sh [target ...]     (default: every target)
#   FUZZ_SECONDS   time per target (default 60)
#   FUZZ_TIMEOUT   seconds one input may take before it counts as a hang (30)
#   FUZZ_RSS_MB    memory a target may use before it counts as a failure (3072)
#   FUZZ_JOBS      build jobs (2)
#   FUZZ_ARGS      further libFuzzer options, e.g. "-max_len=65536"
# Each target starts from its seeds in tests/fuzz/corpus/<target> (read only)
# and keeps what it learns in build-fuzz/corpus/<target>. An input that makes
# it crash, hang, run out of memory or trip a sanitizer is written to
# tests/fuzz/crashes/<target>/, where the replay test of the normal build
# runs it from then on. Exits non-zero when any target failed.
set -uo pipefail
cd "$(dirname "$0")/.."

all_targets=(loader bmp_jpeg broadcast settings hotkeyspec options droplist commandline)
seconds=${FUZZ_SECONDS:-60}
timeout=${FUZZ_TIMEOUT:-30}
rss_mb=${FUZZ_RSS_MB:-3072}
jobs=${FUZZ_JOBS:-2}
build=build-fuzz

targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=("${all_targets[@]}")
for t in "${targets[@]}"; do
  if [[ " ${all_targets[*]} " != *" $t "* ]]; then
    echo "unknown fuzz target '$t'; known: ${all_targets[*]}" >&2
    exit 2
  fi
done

scripts/install-deps.sh fuzz || exit 1

echo "== building ${targets[*]} in $build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSNAPLORN_FUZZ=ON >/dev/null || exit 1
cmake --build "$build" -j "$jobs" --target "${targets[@]/#/fuzz_}" || exit 1

# The targets run as the program would on a machine without a display, with
# their own home and scratch folders under the build tree.
# Their scratch files go to memory when it can hold them: the settings store
# and the picture writers flush every file to the disk, which on a disk
# would make a target spend its time waiting for the flushes.
scratch_root="$PWD/$build/tmp"
if [[ -d /dev/shm && -w /dev/shm ]]; then
  scratch_root=$(mktemp -d /dev/shm/snaplorn-fuzz.XXXXXX)
  trap 'rm -rf "$scratch_root"' EXIT
fi
mkdir -p "$build/home/runtime" "$scratch_root" "$build/logs"
chmod 700 "$build/home/runtime"
export HOME="$PWD/$build/home" XDG_RUNTIME_DIR="$PWD/$build/home/runtime" TMPDIR="$scratch_root"
export QT_QPA_PLATFORM=offscreen
# The image plugins' complaints about each broken picture would fill the logs.
export QT_LOGGING_RULES="qt.gui.imageio*=false"
# Any report stops the target; memory kept by the system libraries for the
# life of the process is listed in the suppressions, never Snaplorn's own.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

stat_of() { # stat_of LOG NAME: a figure of libFuzzer's final statistics
  sed -n "s/^stat::$2: *//p" "$1" | tail -n 1
}

corpus_of() { # the size of the in-memory corpus at the last status line
  grep -o 'corp: [0-9]*' "$1" | tail -n 1 | sed 's/corp: //'
}

failed=0
rows=()
for t in "${targets[@]}"; do
  scratch="$build/corpus/$t"
  artifacts="tests/fuzz/crashes/$t/"
  log="$build/logs/$t.log"
  mkdir -p "$scratch" "$artifacts"
  before=$(find "$artifacts" -type f ! -name '.*' | wc -l)
  started="$build/logs/.$t.started"
  touch "$started"
  echo "== fuzzing $t for ${seconds}s (log: $log)"
  # Slow inputs are not failures: only hangs past the time-out are kept.
  "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -print_final_stats=1 -timeout="$timeout" \
    -rss_limit_mb="$rss_mb" -report_slow_units=100000 -artifact_prefix="$artifacts" \
    ${FUZZ_ARGS:-} "$scratch" "tests/fuzz/corpus/$t" >"$log" 2>&1
  status=$?
  after=$(find "$artifacts" -type f ! -name '.*' | wc -l)
  crashes=$((after - before))
  result=ok
  if ((status != 0 || crashes > 0)); then
    failed=1
    result="FAILED (exit $status)"
    echo "---- $t failed; the end of its log:"
    grep -v '^#[0-9]' "$log" | tail -n 40
    find "$artifacts" -type f ! -name '.*' -newer "$started" -printf '  kept %p\n'
  fi
  rows+=("$(printf '%-12s %12s %10s %8s %8s %8s %7s  %s' "$t" \
    "$(stat_of "$log" number_of_executed_units)" "$(stat_of "$log" average_exec_per_sec)" \
    "$(corpus_of "$log")" "$(stat_of "$log" new_units_added)" \
    "$(stat_of "$log" peak_rss_mb)" "$crashes" "$result")")
done

echo
printf '%-12s %12s %10s %8s %8s %8s %7s  %s\n' target executions exec/s corpus new rss_mb crashes result
printf '%s\n' "${rows[@]}"
exit "$failed"
