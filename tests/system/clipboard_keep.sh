#!/usr/bin/env bash
# A picture copied in Snaplorn stays on the clipboard after Snaplorn ends:
# copy, quit, read it with xclip; the next run's copy replaces it with at
# most one keeper process left; the keeper ends once another program copies.
# With a clipboard manager running, the picture goes to it and no keeper starts.
source "$(dirname "$0")/lib.sh"
write_settings

keepers() { pgrep -f -x -- "$SNAPLORN_BINARY --keep-clipboard .*" | wc -l; }
read_clipboard() { timeout 10 xclip -selection clipboard -t image/png -o > "$1"; }
same_picture() { [[ "$(compare -metric AE "$1" "$2" null: 2>&1)" == "0" ]]; }

(( $(keepers) == 0 )) || fail "a keeper runs before the test"

# copy_and_quit PICTURE : opens it, copies it with Ctrl+R and quits with Alt+F4
copy_and_quit() {
  start_snaplorn "$1"
  local pid=$LAST_PID wid
  wid=$(wait_window "Screen Capture 3.0 - $1")
  xdotool windowactivate --sync "$wid"
  sleep 0.3
  xdotool key ctrl+r
  poll 10 bash -c "xclip -selection clipboard -t TARGETS -o | grep -qx image/png" \
    || fail "Ctrl+R put no picture on the clipboard"
  xdotool key alt+F4
  poll 20 bash -c "! kill -0 $pid" || fail "Snaplorn did not end"
  wait "$pid" || fail "Snaplorn ended with $?"
}

convert -size 64x48 xc:'#c03020' "BMP3:$SNAPLORN_TESTHOME/first.bmp"
convert -size 80x60 gradient:'#2040c0-#f0f0f0' "BMP3:$SNAPLORN_TESTHOME/second.bmp"

copy_and_quit "$SNAPLORN_TESTHOME/first.bmp"
read_clipboard "$SNAPLORN_TESTHOME/read1.png" || fail "nothing on the clipboard after the end"
same_picture "$SNAPLORN_TESTHOME/first.bmp" "$SNAPLORN_TESTHOME/read1.png" \
  || fail "the clipboard holds another picture after the end"
(( $(keepers) == 1 )) || fail "$(keepers) keepers after the first run"

copy_and_quit "$SNAPLORN_TESTHOME/second.bmp"
read_clipboard "$SNAPLORN_TESTHOME/read2.png" || fail "nothing on the clipboard after the second end"
same_picture "$SNAPLORN_TESTHOME/second.bmp" "$SNAPLORN_TESTHOME/read2.png" \
  || fail "the second run's picture did not replace the first"
poll 10 bash -c "(( \$(pgrep -f -x -- '$SNAPLORN_BINARY --keep-clipboard .*' | wc -l) == 1 ))" \
  || fail "$(keepers) keepers after the second run"

# Another program copies: the keeper ends.
echo "some text" | xclip -quiet -selection clipboard -i &
STARTED_PIDS+=($!)
poll 10 bash -c "(( \$(pgrep -f -x -- '$SNAPLORN_BINARY --keep-clipboard .*' | wc -l) == 0 ))" \
  || fail "the keeper did not end when another program took the clipboard"
[[ "$(timeout 5 xclip -selection clipboard -o)" == "some text" ]] || fail "the text copy was lost"
[[ -z "$(ls "$XDG_CACHE_HOME/Quorvex/Snaplorn21/" | grep clipboard- || true)" ]] \
  || fail "a picture file of the keeper was left behind"

# A clipboard manager takes the picture over; no keeper starts.
"${CLIPBOARD_MANAGER:?}" > "$SNAPLORN_TESTHOME/manager.out" 2>&1 &
STARTED_PIDS+=($!)
poll 10 grep -q ready "$SNAPLORN_TESTHOME/manager.out" || fail "the clipboard manager did not start"
copy_and_quit "$SNAPLORN_TESTHOME/first.bmp"
grep -q '^saved ' "$SNAPLORN_TESTHOME/manager.out" || fail "the clipboard manager got nothing"
(( $(keepers) == 0 )) || fail "a keeper started beside the clipboard manager"
read_clipboard "$SNAPLORN_TESTHOME/read3.png" || fail "nothing on the clipboard from the manager"
same_picture "$SNAPLORN_TESTHOME/first.bmp" "$SNAPLORN_TESTHOME/read3.png" \
  || fail "the clipboard manager serves another picture"
echo "clipboard kept after exit: ok"
