#!/usr/bin/env bash
# Quick captures on a screen that changes size (a private X server with two
# monitors, where RandR can resize the screen): the capture after the screen
# grew is the whole new screen, the same bytes as a capture without the
# keeper, never the part of the size the keeper's connection began with;
# and the keeper ends with its X server.
source "$(dirname "$0")/lib.sh"
write_settings
out="$SNAPLORN_TESTHOME/keeper"
rm -rf "$out" && mkdir -p "$out"
"$SNAPLORN_SOURCE_DIR/scripts/xmonitors.sh" start "$out/x" >/dev/null || fail "no private X server"
trap '"$SNAPLORN_SOURCE_DIR/scripts/xmonitors.sh" stop "$out/x" >/dev/null; cleanup_started' EXIT
export DISPLAY=$(cat "$out/x/display")
size_of() { identify -format '%wx%h' "$1"; }

# The keeper is made while the screen is small, then the screen grows.
xrandr --output DUMMY0 --off --fb 1280x1024 || fail "shrinking the screen"
"$SNAPLORN_BINARY" --capture desktop --output "$out/small.jpg" --quality 80 >/dev/null || fail "small"
[[ $(size_of "$out/small.jpg") == 1280x1024 ]] || fail "the small screen is $(size_of "$out/small.jpg")"
poll 10 keeper || fail "no keeper"
xrandr --fb 3200x1380 --output DUMMY0 --mode 1920x1080 --pos 1280x300 || fail "growing the screen"
convert -size 3200x1380 gradient:red-blue "$out/root.png"
display -window root "$out/root.png" || true # sets the background, then exits 1
"$SNAPLORN_BINARY" --capture desktop --output "$out/wide.jpg" --quality 80 >/dev/null || fail "wide"
[[ $(size_of "$out/wide.jpg") == 3200x1380 ]] || fail "after growing: $(size_of "$out/wide.jpg")"
SNAPLORN_KEEPER_IDLE=0 "$SNAPLORN_BINARY" --capture desktop --output "$out/alone.jpg" --quality 80 \
  >/dev/null || fail "alone"
cmp -s "$out/wide.jpg" "$out/alone.jpg" || fail "the picture after growing is not the screen's"

[[ $(keeper | wc -l) == 1 ]] || fail "keepers: $(keeper)"
"$SNAPLORN_SOURCE_DIR/scripts/xmonitors.sh" stop "$out/x" >/dev/null
poll 10 no_keeper || fail "the keeper outlived its X server"
echo "PASS"
