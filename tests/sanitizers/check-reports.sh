#!/usr/bin/env bash
# Runs one test of the sanitized build: check-reports.sh COMMAND ARGS...
# Every sanitized process the test starts (the test itself, the real program,
# helper programs) writes its reports into SNAPLORN_SANITIZER_LOGS, a folder of
# this test's own (log_path in the sanitizer options). Processes whose failure
# a test expects, or that a test only reads the output of, would otherwise hide
# a report; here any report fails the test and is shown in full.
#
# One kind of report is not a finding: LeakSanitizer's own tracer crashing
# while it stops the process's threads ("Tracer caught signal 11"), a fault of
# the sanitizer runtime that leaves the leak check undone. A test that passed
# with only such reports runs once more, so the check gets done; the same
# crash on the second run fails the test like any report.
set -uo pipefail
logs=${SNAPLORN_SANITIZER_LOGS:?SNAPLORN_SANITIZER_LOGS not set}

show_reports() {
  for report in "$@"; do
    echo "===== sanitizer report ${report##*/} =====" >&2
    cat "$report" >&2
  done
}

# only_tracer_crashes REPORT... : every report is a crash of LeakSanitizer's
# tracer and nothing else (no error, no leak, no runtime-error line).
only_tracer_crashes() {
  local report
  for report in "$@"; do
    grep -q "^Tracer caught signal" "$report" || return 1
    grep -qE "ERROR:|SUMMARY:|runtime error:" "$report" && return 1
  done
  return 0
}

shopt -s nullglob
for attempt in 1 2; do
  rm -rf "$logs"
  mkdir -p "$logs"
  "$@"
  status=$?
  reports=("$logs"/*)
  (( ${#reports[@]} == 0 )) && exit "$status"
  show_reports "${reports[@]}"
  if (( attempt == 1 && status == 0 )) && only_tracer_crashes "${reports[@]}"; then
    echo "NOTE: LeakSanitizer's tracer crashed, the leak check was not done; running the test again" >&2
    continue
  fi
  break
done
echo "FAIL: ${#reports[@]} sanitizer report(s) in $logs" >&2
(( status != 0 )) || status=1
exit "$status"
