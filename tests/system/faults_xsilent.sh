#!/usr/bin/env bash
# An X display that takes the connection but never answers (a hung or
# stopped server): the command-line capture and the program must give up
# with a message and exit code 1 instead of waiting for ever.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
work="$SNAPLORN_TESTHOME/xsilent"
rm -rf "$work" && mkdir -p "$work" /tmp/.X11-unix
write_settings

# A display number no server uses; the lock file keeps X servers off it.
for n in $(seq 200 299); do
  [[ -e "/tmp/.X11-unix/X$n" || -e "/tmp/.X$n-lock" ]] && continue
  printf '%10d\n' $$ > "/tmp/.X$n-lock" && break
done
socket="/tmp/.X11-unix/X$n"
CLEANUP_FILES+=("$socket" "/tmp/.X$n-lock")
/usr/bin/python3 -c '
import socket, sys, time
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen(8)
time.sleep(600)' "$socket" &
STARTED_PIDS+=($!)
poll 10 test -S "$socket" || fail "no silent display"

rc=0
err=$(DISPLAY=":$n" timeout 40 "$SNAPLORN_BINARY" --capture desktop --output "$work/x.jpg" \
        2>&1 >/dev/null) || rc=$?
(( rc != 124 )) || fail "the capture waited for the silent display for 40 seconds"
(( rc == 1 )) || fail "exit code $rc: $err"
[[ "$err" == *":$n"* ]] || fail "the message does not name the display: $err"
[[ ! -e "$work/x.jpg" ]] || fail "a file was written"

# The program itself, and the capture to the clipboard, give up the same way.
for args in "" "--capture desktop"; do
  rc=0
  # shellcheck disable=SC2086
  err=$(DISPLAY=":$n" timeout 40 "$SNAPLORN_BINARY" $args 2>&1 >/dev/null) || rc=$?
  (( rc == 1 )) || fail "'snaplorn $args': exit code $rc: $err"
  [[ "$err" == *"does not answer"* ]] || fail "'snaplorn $args' said: $err"
done
echo "faults_xsilent: all passed"
