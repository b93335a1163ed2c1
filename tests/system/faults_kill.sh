#!/usr/bin/env bash
# The program killed (SIGKILL) in the middle of a write: a bitmap save, a
# JPEG save, and the first start's settings write. The write is slowed down
# by the preload shim so the kill lands inside it. The old file must keep
# every byte (or be a complete newer version), no half-written file may take
# its place, and the next start must become the first instance again.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
write_settings
work="$SNAPLORN_TESTHOME/kill"
mark="$work/mark"
rm -rf "$work" && mkdir -p "$work/orig" "$work/pics"
convert -size 640x480 xc: +noise Random "BMP3:$work/orig/pic.bmp"
convert "$work/orig/pic.bmp" -quality 95 "$work/orig/pic.jpg"

# run_slowed FOLDER COMMAND... : COMMAND with writes into FOLDER slowed
run_slowed() {
  local folder=$1; shift
  rm -f "$mark"
  LD_PRELOAD="$FAULTSHIM" FAULTSHIM_SLOW_DIR="$folder" FAULTSHIM_MARK="$mark" "$@"
}

kill_program() {
  kill -9 "$LAST_PID"
  wait "$LAST_PID" 2>/dev/null || true
}

for ext in bmp jpg; do
  file="$work/pics/pic.$ext"
  cp "$work/orig/pic.$ext" "$file"
  : > "$SNAPLORN_MESSAGE_LOG"
  FAULTSHIM_CHUNK=4096 FAULTSHIM_DELAY_MS=50 run_slowed "$work/pics" open_for_edit "$file"
  xdotool key --clearmodifiers ctrl+s
  poll 20 test -e "$mark" || fail "$ext: the save never started writing"
  sleep 0.3 # a few pieces out, most of the file still to come
  kill -0 "$LAST_PID" || fail "$ext: the program ended before the kill"
  kill_program
  cmp "$work/orig/pic.$ext" "$file" || fail "$ext: the old file was replaced by a torn one"
  [[ "$(listing "$work/pics")" =~ ^(pic\.(bmp|jpg)\ )+$ ]] \
    || fail "$ext: the killed save left $(listing "$work/pics")"
  [[ ! -s "$SNAPLORN_MESSAGE_LOG" ]] || fail "$ext: message: $(cat "$SNAPLORN_MESSAGE_LOG")"
done

# The first start writes the settings key value by value, each write
# replacing the whole file. Killed in the middle of the fourth write, the
# file must hold the other section untouched and exactly the first three
# values. The socket of the killed JPEG save is still there: this start must
# take over regardless.
config="$XDG_CONFIG_HOME/Quorvex"
conf="$config/Snaplorn21.conf"
mkdir -p "$config" && rm -rf "$HOME/Pictures" # the folder setting falls back to home
printf '[Control Panel\\Desktop]\nTileWallpaper=1\nWallpaper=/pics/w.bmp\n\n' > "$conf"
: > "$SNAPLORN_MESSAGE_LOG"
FAULTSHIM_CHUNK=8 FAULTSHIM_DELAY_MS=40 run_slowed "$config" start_snaplorn
poll 30 grep -q "^AutoFolder=" "$conf" || fail "the settings were never written: $(cat "$conf")"
sleep 0.3
kill -0 "$LAST_PID" || fail "the settings start ended early: $(cat "$SNAPLORN_MESSAGE_LOG")"
kill_program
expected=$'[Control Panel\\Desktop]\nTileWallpaper=1\nWallpaper=/pics/w.bmp\n\n'
expected+=$'[Software\\Quorvex\\Snaplorn21]\nAutoFolder='"$HOME"$'\nJpgQuality=80\nRunInTray=0\n\n'
[[ "$(cat "$conf"; echo .)" == "$expected." ]] \
  || fail "the settings file after the kill: $(cat -A "$conf")"
[[ "$(listing "$config")" =~ ^Snaplorn21\.conf\ (Snaplorn21\.conf\.lock\ )?$ ]] \
  || fail "the killed write left $(listing "$config")"
[[ ! -s "$SNAPLORN_MESSAGE_LOG" ]] || fail "message: $(cat "$SNAPLORN_MESSAGE_LOG")"

# The next start: the first instance again, the settings file as it was.
start_snaplorn
wait_window "Quorvex Snaplorn Screen Capture" >/dev/null
sleep 0.5
kill -0 "$LAST_PID" || fail "the start after the kills did not stay up"
[[ ! -s "$SNAPLORN_MESSAGE_LOG" ]] || fail "unexpected message: $(cat "$SNAPLORN_MESSAGE_LOG")"
[[ "$(cat "$conf"; echo .)" == "$expected." ]] || fail "the settings changed: $(cat -A "$conf")"
echo "faults_kill: all passed"
