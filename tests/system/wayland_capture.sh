#!/usr/bin/env bash
# Screen capture in a Wayland session (sway): screencopy, the Screenshot
# portal, the program's own choice and the command line, each compared pixel
# for pixel with the picture sway shows; two outputs composed into one.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland_lib.sh"
: "${WAYLAND_GRAB:?}" "${SWAYSOCK:?}"

picture 1920x1080 navy-orange "$out/one.png"
show HEADLESS-1 "$out/one.png"

# The grabber's own screencopy, the portal, and the one the program chooses
# on Qt's Wayland platform.
geometry=$("$WAYLAND_GRAB" screencopy "$out/screencopy.png") || fail "screencopy: $geometry"
[[ "$geometry" == "1920x1080+0+0" ]] || fail "screencopy geometry $geometry"
same "$out/screencopy.png" "$out/one.png" || fail "the screencopy picture differs from the screen"
"$WAYLAND_GRAB" portal "$out/portal.png" >/dev/null || fail "portal grab"
same "$out/portal.png" "$out/one.png" || fail "the portal's picture differs from the screen"
[[ ! -e /tmp/out.png ]] || fail "the portal's file was left behind"
"$WAYLAND_GRAB" session "$out/session.png" >/dev/null || fail "the program's grabber"
same "$out/session.png" "$out/one.png" || fail "the program's grabber differs from the screen"

# The command line: BMP through the program, JPEG through the quick path.
printed=$("$SNAPLORN_BINARY" --capture desktop --output "$out/d.bmp") || fail "bmp capture"
[[ "$printed" == "$out/d.bmp" ]] || fail "printed '$printed'"
same "$out/d.bmp" "$out/one.png" || fail "the BMP differs from the screen"
"$SNAPLORN_BINARY" --capture desktop --output "$out/d.jpg" --quality 95 >/dev/null || fail "jpeg capture"
[[ "$(identify -format '%m %wx%h' "$out/d.jpg")" == "JPEG 1920x1080" ]] || fail "d.jpg"
psnr=$(compare -metric PSNR "$out/d.jpg" "$out/one.png" null: 2>&1 || true)
awk -v p="$psnr" 'BEGIN { exit !(p > 35) }' || fail "the JPEG is not the screen (PSNR $psnr)"

# Neither screencopy nor a portal: one message that names both.
said=$(WAYLAND_DISPLAY="$out/no-compositor" DBUS_SESSION_BUS_ADDRESS="unix:path=$out/no-bus" \
  "$SNAPLORN_BINARY" --capture desktop --output "$out/none.bmp" 2>&1) && fail "captured without a screen"
[[ "$said" == *zwlr_screencopy_manager_v1*org.freedesktop.portal.Screenshot* ]] \
  || fail "unavailable message: $said"
[[ ! -e "$out/none.bmp" ]] || fail "a picture was written without a screen"

# A compositor that refuses the copy, and one that goes away during it: a
# message, and no file (through the program and through the quick path).
fake() { # MODE FILE EXPECTED
  /usr/bin/python3 "$(dirname "$0")/fake_compositor.py" "$out/fake-$1" "$1" >/dev/null 2>&1 &
  STARTED_PIDS+=($!)
  for _ in $(seq 1 100); do [[ -S "$out/fake-$1" ]] && break; sleep 0.05; done
  said=$(WAYLAND_DISPLAY="$out/fake-$1" "$SNAPLORN_BINARY" --capture desktop --output "$out/$2" \
    --quality 80 2>&1) && fail "captured from a compositor that $1"
  [[ "$said" == *"$3"* ]] || fail "compositor that $1: $said"
  [[ ! -e "$out/$2" ]] || fail "compositor that $1: a file was written"
}
fake failed fake.bmp "the compositor refused to copy the output #2"
fake vanish fake.jpg "the Wayland compositor went away during the capture"

# Portals that refuse, send no readable file, or stay silent: a message each.
fake_portal() { # MODE EXPECTED
  local bus="$out/bus-$1"
  dbus-daemon --session --address="unix:path=$bus" --nofork --nopidfile >/dev/null 2>&1 &
  STARTED_PIDS+=($!)
  for _ in $(seq 1 100); do [[ -S "$bus" ]] && break; sleep 0.05; done
  DBUS_SESSION_BUS_ADDRESS="unix:path=$bus" /usr/bin/python3 "$(dirname "$0")/fake_portal.py" "$1" \
    > "$out/portal-$1.log" 2>&1 &
  STARTED_PIDS+=($!)
  for _ in $(seq 1 100); do grep -q ready "$out/portal-$1.log" && break; sleep 0.05; done
  said=$(DBUS_SESSION_BUS_ADDRESS="unix:path=$bus" "$WAYLAND_GRAB" portal "$out/p-$1.png" 2>&1) \
    && fail "a picture from a portal that does '$1'"
  [[ "$said" == *"$2"* ]] || fail "portal that does '$1': $said"
}
fake_portal refuse "the screenshot portal refused the request (response 2)"
fake_portal nofile "the screenshot portal's picture cannot be read (/nonexistent/shot.png)"
fake_portal silent "the screenshot portal did not answer within 10 seconds"

# A second output added to the right, smaller: one picture of both, black
# where neither is.
second_output 800x600 1920 0
picture 800x600 darkgreen-white "$out/two.png"
show HEADLESS-2 "$out/two.png"
geometry=$("$WAYLAND_GRAB" screencopy "$out/both.png") || fail "two outputs: $geometry"
[[ "$geometry" == "2720x1080+0+0" ]] || fail "two outputs geometry $geometry"
part "$out/both.png" 1920x1080+0+0 "$out/both-left.png"
part "$out/both.png" 800x600+1920+0 "$out/both-right.png"
part "$out/both.png" 800x480+1920+600 "$out/both-below.png"
convert -size 800x480 xc:black -depth 8 "PNG24:$out/black.png"
same "$out/both-left.png" "$out/one.png" || fail "two outputs: the first differs"
same "$out/both-right.png" "$out/two.png" || fail "two outputs: the second differs"
same "$out/both-below.png" "$out/black.png" || fail "two outputs: not black below the second"
"$SNAPLORN_BINARY" --capture desktop --output "$out/both.bmp" >/dev/null || fail "two outputs: bmp"
same "$out/both.bmp" "$out/both.png" || fail "two outputs: the command line differs"
# Turned and scaled outputs as sway shows them: grim's picture of the
# desktop at one pixel per logical pixel, black where no output is. A scaled
# output is reduced by sampling, grim's by filtering: close, not equal.
like_grim() { # WHAT MIN-PSNR ("" for equal)
  for _ in $(seq 1 60); do
    "$WAYLAND_GRAB" screencopy "$out/ours.png" >/dev/null || fail "$1: grab"
    grim -s 1 "$out/grim.png" && convert "$out/grim.png" -background black -alpha remove -alpha off \
      "PNG24:$out/grim.png"
    alike "$out/ours.png" "$out/grim.png" "$2" && return 0
    sleep 0.05
  done
  fail "$1: the picture differs from grim's"
}
swaymsg -q output HEADLESS-2 transform 90 || fail "turning HEADLESS-2"
like_grim "a quarter turn" ""
swaymsg -q output HEADLESS-2 transform flipped-270 || fail "turning HEADLESS-2"
like_grim "mirrored and turned" ""
swaymsg -q output HEADLESS-2 transform normal scale 2 || fail "scaling HEADLESS-2"
like_grim "scale 2" 40
swaymsg -q output HEADLESS-2 scale 1 || fail "scaling HEADLESS-2"

# Moved below the first between two captures: the next picture follows.
# (sway 1.7 can neither unplug nor disable a headless output.)
swaymsg -q output HEADLESS-2 pos 100 1080 || fail "moving HEADLESS-2"
geometry=$("$WAYLAND_GRAB" screencopy "$out/below.png") || fail "after the move: $geometry"
[[ "$geometry" == "1920x1680+0+0" ]] || fail "after the move geometry $geometry"
part "$out/below.png" 1920x1080+0+0 "$out/below-top.png"
part "$out/below.png" 800x600+100+1080 "$out/below-bottom.png"
same "$out/below-top.png" "$out/one.png" || fail "after the move the first differs"
same "$out/below-bottom.png" "$out/two.png" || fail "after the move the second differs"
# The program itself starts in the Wayland session and keeps running.
start_snaplorn
sleep 3
kill -0 "$LAST_PID" 2>/dev/null || fail "the program ended in the Wayland session: $(cat "$SNAPLORN_TESTHOME/snaplorn.out")"
echo "PASS"
