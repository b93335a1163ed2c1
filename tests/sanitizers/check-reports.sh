#!/usr/bin/env bash
# Runs one test of the sanitized build: check-reports.sh COMMAND ARGS...
# Every sanitized process the test starts (the test itself, the real program,
# helper programs) writes its reports into SNAPLORN_SANITIZER_LOGS, a folder of
# this test's own (log_path in the sanitizer options). Processes whose failure
# a test expects, or that a test only reads the output of, would otherwise hide
# a report; here any report fails the test and is shown in full.
set -uo pipefail
logs=${SNAPLORN_SANITIZER_LOGS:?SNAPLORN_SANITIZER_LOGS not set}
rm -rf "$logs"
mkdir -p "$logs"

"$@"
status=$?

shopt -s nullglob
reports=("$logs"/*)
if (( ${#reports[@]} > 0 )); then
  for report in "${reports[@]}"; do
    echo "===== sanitizer report ${report##*/} =====" >&2
    cat "$report" >&2
  done
  echo "FAIL: ${#reports[@]} sanitizer report(s) in $logs" >&2
  (( status != 0 )) || status=1
fi
exit "$status"
