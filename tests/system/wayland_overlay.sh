#!/usr/bin/env bash
# The rectangle overlay in a Wayland session (sway), driven like a user with
# the tests' own pointer and wtype: F5, a drag, Ctrl+S into the save dialog;
# the file holds exactly the pixels inside the band. A drag from one output
# onto the other, copied with Ctrl+R, is read back with wl-paste. The
# command-line capture without a file puts the desktop on the clipboard, and
# both pictures stay there after the program has ended (wl-copy keeps them).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland_lib.sh"
: "${WAYLAND_POINTER:?}" "${SWAYSOCK:?}"

noise() { convert -size "$1" xc: +noise Random -depth 8 "PNG24:$2"; }
keys() { wtype -s 100 "$@" || fail "wtype $*"; }
overlay_windows() { windows_of snaplorn | grep -c '^1 ' || true; }
# the main window shown and holding the keyboard, so the keys that follow
# reach it
snaplorn_shown() { windows_of snaplorn | grep -q '^0 1 '; }

# Two outputs side by side, each showing noise: any pixel off shows. (The
# session hides the pointer while it rests.)
second_output 800x600 1920 0
noise 1920x1080 "$out/one.png"
noise 800x600 "$out/two.png"
show HEADLESS-1 "$out/one.png"
show HEADLESS-2 "$out/two.png"
convert -size 2720x1080 xc:black "$out/one.png" -composite "$out/two.png" -geometry +1920+0 \
  -composite -depth 8 "PNG24:$out/desktop.png"

mkfifo "$out/pointer"
"$WAYLAND_POINTER" 2720 1080 < "$out/pointer" > "$out/pointer.log" 2>&1 &
STARTED_PIDS+=($!)
exec 7> "$out/pointer"
poll 10 grep -q ready "$out/pointer.log" || fail "no pointer: $(cat "$out/pointer.log")"
pointer() { echo "$*" >&7; sleep 0.15; }

SNAPLORN_MESSAGE_ANSWERS=no start_snaplorn # no: do not save the last capture at the end
poll 20 snaplorn_shown || fail "the program's window did not appear"
sleep 0.5

# overlay_count N WHAT: waits until the program shows N full-screen windows
overlay_count() {
  for _ in $(seq 1 200); do [[ $(overlay_windows) == "$1" ]] && return 0; sleep 0.1; done
  fail "$2: $(windows_of snaplorn)"
}
# band X0 Y0 X1 Y1: F5, then a drag on the overlay (one window per output)
# up to the release
band() {
  keys -k F5
  overlay_count 2 "the overlay did not cover both outputs"
  sleep 0.3
  pointer move "$1" "$2"
  pointer down
  pointer move $(( ($1 + $3) / 2 )) $(( ($2 + $4) / 2 ))
  pointer move "$3" "$4"
}
captured() {
  overlay_count 0 "the overlay stayed after the drag"
  poll 10 snaplorn_shown || fail "the main window did not come back"
  sleep 0.5
}
drag() { band "$@"; pointer up; captured; }
# pasted EXPECTED WHAT: the clipboard holds EXPECTED within 10 s (a copy is
# handed over while the key returns; until then the clipboard may hold the
# copy before)
pasted() {
  for _ in $(seq 1 50); do
    wl-paste -t image/png > "$out/pasted.png" 2>/dev/null && same "$out/pasted.png" "$1" && return 0
    sleep 0.2
  done
  fail "$2"
}

# Released with Shift held the band is discarded and the overlay stays;
# Escape then gives the capture up.
band 400 400 600 600
wtype -M shift -s 1500 -m shift &
sleep 0.5
pointer up
wait $!
overlay_count 2 "the overlay went after a release with Shift"
keys -k Escape
captured

# Within the first output: the band's inside, saved through the dialog.
drag 100 120 300 270
keys -M ctrl s -m ctrl
for _ in $(seq 1 100); do [[ $(windows_of snaplorn | grep -c '^0 ') == 2 ]] && break; sleep 0.1; done
[[ $(windows_of snaplorn | grep -c '^0 ') == 2 ]] || fail "no save dialog: $(windows_of snaplorn)"
sleep 1
# A bare name (a path would open the dialog's completion list, which takes
# the keys that follow): the file goes to the folder the dialog shows.
rm -f "$HOME/rect.bmp"
keys rect.bmp
keys -k Return
poll 10 test -s "$HOME/rect.bmp" || fail "Ctrl+S saved nothing: $(cat "$SNAPLORN_MESSAGE_LOG")"
mv "$HOME/rect.bmp" "$out/rect.bmp"
part "$out/desktop.png" 198x148+101+121 "$out/rect-expected.png"
same "$out/rect.bmp" "$out/rect-expected.png" || fail "the saved rectangle is not the inside of the band"

# From the first output onto the second, copied with Ctrl+R.
drag 1800 200 2000 400
keys -M ctrl r -m ctrl
part "$out/desktop.png" 198x198+1801+201 "$out/across-expected.png"
pasted "$out/across-expected.png" "the rectangle across outputs differs, or was not copied"

# On an output of scale 2 the picture holds one pixel per logical pixel, as
# on the screen's own coordinates; the band maps to those exactly.
swaymsg -q output HEADLESS-2 scale 2 || fail "scaling HEADLESS-2"
pointer size 2320 1080
sleep 0.5
"$SNAPLORN_BINARY" --capture desktop --output "$out/scaled.bmp" >/dev/null || fail "scaled: bmp"
drag 1950 50 2150 250
keys -M ctrl r -m ctrl
part "$out/scaled.bmp" 198x198+1951+51 "$out/scaled-expected.png"
pasted "$out/scaled-expected.png" "the rectangle on the scaled output differs, or was not copied"
swaymsg -q output HEADLESS-2 scale 1 || fail "scaling HEADLESS-2 back"
exec 7>&-

# The copied picture stays on the clipboard after Snaplorn ends (the window
# closed as sway's close key does).
swaymsg -q '[app_id="snaplorn"] kill' || fail "closing the window"
poll 20 bash -c "! kill -0 $LAST_PID" || fail "Snaplorn did not end: $(cat "$SNAPLORN_MESSAGE_LOG")"
wl-paste -t image/png > "$out/kept.png" || fail "the picture left the clipboard with Snaplorn"
same "$out/kept.png" "$out/scaled-expected.png" || fail "another picture on the clipboard after the end"

# The command line without a file: the desktop on the clipboard.
show HEADLESS-2 "$out/two.png"
sleep 0.3
said=$("$SNAPLORN_BINARY" --capture desktop 2>&1) || fail "clipboard capture: $said"
pasted "$out/desktop.png" "the command line's clipboard picture differs"
echo "PASS"
