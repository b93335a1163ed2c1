#!/usr/bin/env bash
# The command-line capture of the real program (files, exit codes, the
# clipboard), and a hot key that another program holds already.
source "$(dirname "$0")/lib.sh"
: "${HOTKEY_HOLDER:?}" "${FAULTSHIM:?}"
write_settings
out="$SNAPLORN_TESTHOME/cli"
rm -rf "$out" && mkdir -p "$out"
convert -size 1920x1080 gradient:navy-orange "$out/root.png"
display -window root "$out/root.png" || true # sets the background, then exits 1

# --help and --version, no display needed
"$SNAPLORN_BINARY" --help | grep -q -- "--capture desktop|window" || fail "--help"
[[ "$(DISPLAY= "$SNAPLORN_BINARY" --version)" == "Snaplorn 3.0" ]] || fail "--version"

# The whole screen to a JPEG and a BMP file; the path goes to standard output.
printed=$("$SNAPLORN_BINARY" --capture desktop --output "$out/d.jpg" --quality 80) \
  || fail "desktop capture exited with $?"
[[ "$printed" == "$out/d.jpg" ]] || fail "printed '$printed'"
[[ "$(identify -format '%m %wx%h' "$out/d.jpg")" == "JPEG 1920x1080" ]] || fail "d.jpg"
"$SNAPLORN_BINARY" --capture desktop --delay 100 --output "$out/d.bmp" >/dev/null || fail "bmp"
[[ "$(head -c 2 "$out/d.bmp")" == "BM" && "$(identify -format '%wx%h' "$out/d.bmp")" == "1920x1080" ]] \
  || fail "d.bmp"
# Pixel-exact: the BMP against the server's own picture of the root.
import -window root "$out/ref.bmp"
[[ "$(compare -metric AE "$out/d.bmp" "$out/ref.bmp" null: 2>&1)" == "0" ]] \
  || fail "the BMP differs from the screen"

# A complete JPEG request is served by the quick path, which never loads the
# program module; with the quality from the settings the program does the
# same capture. The two files are the same bytes, and a file that is
# replaced keeps its permissions.
write_settings "JpgQuality=80"
"$SNAPLORN_BINARY" --capture desktop --output "$out/settings.jpg" >/dev/null || fail "settings quality"
"$SNAPLORN_BINARY" --capture=desktop --quality=80 --output="$out/d.jpg" >/dev/null || fail "inline options"
cmp -s "$out/settings.jpg" "$out/d.jpg" || fail "the quick capture differs from the program's"
chmod 640 "$out/d.jpg"
"$SNAPLORN_BINARY" --capture desktop --output "$out/d.jpg" --quality 80 >/dev/null || fail "replace"
[[ "$(stat -c %a "$out/d.jpg")" == 640 ]] || fail "replacing changed the permissions"
ls "$out"/d.jpg.* >/dev/null 2>&1 && fail "a temporary file was left behind"
write_settings

# Later quick captures are served by a keeper process that keeps the X
# server's shared memory warm: one per display. Its picture is the screen as
# it is now: the same bytes as the program's own capture, even when the
# calling process could not encode (the keeper did). Killed, it leaves its
# socket behind: the next capture is taken directly and starts a new keeper.
# SNAPLORN_KEEPER_IDLE sets how long a keeper waits for requests.
poll 10 keeper || fail "no capture keeper after a quick capture"
convert -size 1920x1080 gradient:green-purple "$out/root.png"
display -window root "$out/root.png" || true
env LD_PRELOAD="$FAULTSHIM" FAULTSHIM_FAIL_JPEG_AFTER=1 \
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
  "$SNAPLORN_BINARY" --capture desktop --output "$out/kept.jpg" --quality 80 >/dev/null \
  || fail "the keeper did not serve the capture"
write_settings "JpgQuality=80"
"$SNAPLORN_BINARY" --capture desktop --output "$out/program.jpg" >/dev/null || fail "program"
write_settings
cmp -s "$out/kept.jpg" "$out/program.jpg" || fail "the keeper's picture is not the screen's"
[[ $(keeper | wc -l) == 1 ]] || fail "more than one keeper: $(keeper)"
kill -KILL $(keeper)
poll 10 no_keeper || fail "the keeper outlived SIGKILL"
"$SNAPLORN_BINARY" --capture desktop --output "$out/direct.jpg" --quality 80 >/dev/null \
  || fail "capture after the keeper was killed"
cmp -s "$out/direct.jpg" "$out/program.jpg" || fail "the direct picture differs"
poll 10 keeper || fail "no new keeper after the killed one"
kill $(keeper)
poll 10 no_keeper || fail "the keeper did not end on SIGTERM"
SNAPLORN_KEEPER_IDLE=0 "$SNAPLORN_BINARY" --capture desktop --output "$out/direct.jpg" --quality 80 \
  >/dev/null || fail "capture without a keeper"
sleep 1
no_keeper || fail "a keeper started with SNAPLORN_KEEPER_IDLE=0"
SNAPLORN_KEEPER_IDLE=2 "$SNAPLORN_BINARY" --capture desktop --output "$out/direct.jpg" --quality 80 \
  >/dev/null || fail "capture with a short-lived keeper"
poll 10 keeper || fail "no keeper with SNAPLORN_KEEPER_IDLE=2"
poll 10 no_keeper || fail "the keeper outlived its idle time"

# Without a file name: the next ScreenN.jpg of the auto-capture folder.
write_settings "AutoFolder=$out"
: > "$out/Screen1.jpg"
printed=$("$SNAPLORN_BINARY" --capture desktop --output) || fail "default name"
[[ "$printed" == "$out/Screen2.jpg" && -s "$out/Screen2.jpg" ]] || fail "default name '$printed'"
write_settings

# No window active on the bare desktop: said plainly, not the whole screen.
expect_no_window=$("$SNAPLORN_BINARY" --capture window --output "$out/none.jpg" 2>&1 >/dev/null) \
  && fail "a window capture without a window succeeded"
[[ "$expect_no_window" == *"There is no active window to capture."* ]] \
  || fail "no-window message: $expect_no_window"
[[ ! -e "$out/none.jpg" ]] || fail "a picture was written without a window"

# A screen of depth 16 is refused with a message, never read as garbage.
exec 5> "$out/displayfd16"
Xvfb -displayfd 5 -screen 0 640x480x16 -nolisten tcp >/dev/null 2>&1 &
STARTED_PIDS+=($!)
exec 5>&-
poll 15 test -s "$out/displayfd16" || fail "no depth-16 X server"
err=$(DISPLAY=":$(tr -d '[:space:]' < "$out/displayfd16")" \
      "$SNAPLORN_BINARY" --capture desktop --output "$out/d16.jpg" 2>&1 >/dev/null) \
  && fail "a depth-16 screen was captured"
[[ "$err" == *"colour depth of 16 bits"* ]] || fail "depth-16 message: $err"
[[ ! -e "$out/d16.jpg" ]] || fail "a depth-16 capture left a file"

# The active window, frame included.
xlogo -geometry 200x150+400+300 >/dev/null 2>&1 &
STARTED_PIDS+=($!)
wid=$(wait_window xlogo)
poll 15 xdotool windowactivate --sync "$wid" || fail "xlogo could not be activated"
"$SNAPLORN_BINARY" --capture window --output "$out/w.bmp" >/dev/null || fail "window capture"
[[ "$(identify -format '%wx%h' "$out/w.bmp")" == "202x175" ]] \
  || fail "window picture is $(identify -format '%wx%h' "$out/w.bmp")"
kill "${STARTED_PIDS[-1]}"

# Failures: exit code 1 and a message on standard error, nothing written.
expect_failure() {
  local expected=$1; shift
  local err
  if err=$("$@" 2>&1 >/dev/null); then fail "'$*' succeeded"; fi
  [[ "$err" == *"$expected"* ]] || fail "'$*' said: $err"
}
expect_failure "DISPLAY is not set" env -u DISPLAY "$SNAPLORN_BINARY" --capture desktop --output "$out/x.jpg"
expect_failure "cannot connect to the X display ':99'" env DISPLAY=:99 "$SNAPLORN_BINARY" --capture desktop --output "$out/x.jpg"
expect_failure "not a capture kind" "$SNAPLORN_BINARY" --capture screen
expect_failure "only .jpg and .bmp" "$SNAPLORN_BINARY" --capture desktop --output "$out/x.png"
expect_failure "not a JPEG quality" "$SNAPLORN_BINARY" --capture desktop --output "$out/x.jpg" --quality 0
expect_failure "unknown option" "$SNAPLORN_BINARY" --frobnicate
expect_failure "could not be saved" "$SNAPLORN_BINARY" --capture desktop --output /proc/x.jpg
expect_failure "could not be saved" "$SNAPLORN_BINARY" --capture desktop --output /proc/x.jpg --quality 80
[[ ! -e "$out/x.jpg" ]] || fail "a failed capture left a file"
# One strip of the screen's JPEG fails to encode: the quick path gives up and
# the program's save fails the same way, with its message, and no file (nor
# a temporary one) is left.
expect_failure "cannot be converted to JPEG" env LD_PRELOAD="$FAULTSHIM" FAULTSHIM_FAIL_JPEG_AFTER=1 \
  SNAPLORN_KEEPER_IDLE=0 \
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
  "$SNAPLORN_BINARY" --capture desktop --output "$out/strip.jpg" --quality 80
ls "$out"/strip.jpg* >/dev/null 2>&1 && fail "a failed strip left a file"

# To the clipboard: served until another program takes it over.
"$SNAPLORN_BINARY" --capture desktop > "$out/clip.out" 2>&1 &
clip_pid=$!
STARTED_PIDS+=("$clip_pid")
poll 10 grep -q "is on the clipboard" "$out/clip.out" || fail "clipboard: $(cat "$out/clip.out")"
xclip -selection clipboard -t image/png -o > "$out/clip.png" || fail "xclip read"
[[ "$(identify -format '%wx%h' "$out/clip.png")" == "1920x1080" ]] || fail "clipboard picture"
# (xclip serves the text in the background: keep it off our output and stop it)
printf taken | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
STARTED_PIDS+=($!)
poll 10 bash -c "! kill -0 $clip_pid" || fail "the clipboard process kept running"
wait "$clip_pid" || fail "the clipboard process exited with $?"

# A hot key another client holds: the critical message, the others work.
"$HOTKEY_HOLDER" > "$out/holder.out" &
STARTED_PIDS+=($!)
poll 15 grep -q held "$out/holder.out" || fail "the holder did not grab its key"
write_settings "HotKeyPresent=1"
start_snaplorn
wait_window "Quorvex Snaplorn" >/dev/null
poll 10 grep -q "^critical|" "$SNAPLORN_MESSAGE_LOG" || fail "no critical message"
message_logged "critical|ok|Snaplorn21|Can't register one or more hotkeys.They may be used by other applications.\r\nPlease go to Tool --> Options menu and select different set of hot keys." \
  || fail "message: $(cat "$SNAPLORN_MESSAGE_LOG")"
echo "capture_cli: all passed"
