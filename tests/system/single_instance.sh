#!/usr/bin/env bash
# One Snaplorn per user and display: the hand-over from a second start, a
# socket left behind by a crash, and a second start with a picture.
source "$(dirname "$0")/lib.sh"
write_settings

start_snaplorn
first=$LAST_PID
wid=$(wait_window "Quorvex Snaplorn")
[[ "$(xdotool getwindowname "$wid")" == "Quorvex Snaplorn Screen Capture" ]] \
  || fail "title is '$(xdotool getwindowname "$wid")'"
xprop -id "$wid" WM_NORMAL_HINTS | grep -q "program specified minimum size: 586 by 486" \
  || fail "minimum size: $(xprop -id "$wid" WM_NORMAL_HINTS)"

# Minimised first instance; a second start without a file hands over.
sleep 0.5
xdotool windowminimize --sync "$wid"
poll 15 bash -c "xprop -id $wid _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN" \
  || fail "the window did not minimise"
timeout 20 "$SNAPLORN_BINARY" || fail "second start exited with $?"
message_logged "exclamation|ok|Snaplorn21|Quorvex Snaplorn is already running." \
  || fail "no 'already running' message: $(cat "$SNAPLORN_MESSAGE_LOG")"
poll 15 bash -c "! xprop -id $wid _NET_WM_STATE | grep -q _NET_WM_STATE_HIDDEN" \
  || fail "the first window stayed minimised"
poll 15 bash -c "[[ \$(xdotool getactivewindow) == $wid ]]" \
  || fail "the first window was not activated"
kill -0 "$first" || fail "the first instance died"

# A second start with a picture runs beside the first.
picture="$SNAPLORN_TESTHOME/beside.bmp"
convert -size 64x48 xc:red "BMP3:$picture"
start_snaplorn "$picture"
beside=$LAST_PID
wait_window "Screen Capture 3.0 - $picture" >/dev/null
kill -0 "$first" || fail "the first instance died"
kill "$beside"
wait "$beside" 2>/dev/null || true

# A crash leaves the socket behind; the next start is the first instance.
kill -9 "$first"
wait "$first" 2>/dev/null || true
: > "$SNAPLORN_MESSAGE_LOG"
start_snaplorn
wait_window "Quorvex Snaplorn Screen Capture" >/dev/null
sleep 0.5
kill -0 "$LAST_PID" || fail "the start after a crash did not stay up"
[[ ! -s "$SNAPLORN_MESSAGE_LOG" ]] || fail "unexpected message: $(cat "$SNAPLORN_MESSAGE_LOG")"
echo "single instance: ok"
