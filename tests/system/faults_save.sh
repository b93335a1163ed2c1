#!/usr/bin/env bash
# Saving an edited picture where it cannot be written: a full disk, a
# read-only disk, a folder in place of the file, a rename that fails. Each
# time the user is told, the old file keeps every byte, no stray file is left
# behind, and the picture stays unsaved (closing asks about it).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
write_settings "JpgQuality=80"
work="$SNAPLORN_TESTHOME/save"
rm -rf "$work" "$SNAPLORN_TESTHOME/seen.log" && mkdir -p "$work/orig"
convert -size 320x240 gradient:red-blue "BMP3:$work/orig/pic.bmp"
convert -size 320x240 gradient:green-yellow -quality 90 "$work/orig/pic.jpg"

# save_as TARGET : Save As through the file dialog, typing the whole path.
save_as() {
  xdotool key --clearmodifiers alt+f
  sleep 0.4
  xdotool key Down Down Down Return
  poll 10 bash -c \
    "[[ \$(xdotool search --onlyvisible --name 'Screen Capture 3.0' | wc -l) -ge 2 ]]" \
    || fail "the Save As dialog did not open"
  sleep 0.3
  xdotool type --delay 10 "$1"
  xdotool key Return
}

# save_fails FILE REASON [TARGET] : edits FILE, saves it (Ctrl+S, or Save As
# to TARGET), and checks the message, the folder of the file written and
# the close question. The old bytes are compared by the caller.
save_fails() {
  local file=$1 reason=$2 target=${3:-$1} folder before answers=ok,no
  folder=$(dirname "$target")
  before=$(listing "$folder")
  [[ "$target" != "$file" && -e "$target" ]] && answers=yes,ok,no # overwrite it
  : > "$SNAPLORN_MESSAGE_LOG"
  SNAPLORN_MESSAGE_ANSWERS=$answers open_for_edit "$file"
  if [[ "$target" == "$file" ]]; then
    xdotool key --clearmodifiers ctrl+s
  else
    save_as "$target"
  fi
  wait_logged "could not be saved as \"$target\"" \
    || fail "$target: no save message: $(cat "$SNAPLORN_MESSAGE_LOG")"
  cat "$SNAPLORN_MESSAGE_LOG" >> "$SNAPLORN_TESTHOME/seen.log"
  grep -qF -- "$reason" "$SNAPLORN_MESSAGE_LOG" \
    || fail "$target: the message does not say '$reason': $(cat "$SNAPLORN_MESSAGE_LOG")"
  [[ $(grep -c "could not be saved" "$SNAPLORN_MESSAGE_LOG") == 1 ]] \
    || fail "$target: messages: $(cat "$SNAPLORN_MESSAGE_LOG")"
  [[ "$(xdotool getwindowname "$WID")" == "Quorvex Snaplorn Screen Capture 3.0 - $file" ]] \
    || fail "$target: the caption changed to $(xdotool getwindowname "$WID")"
  expect_close_asks
  [[ "$(listing "$folder")" == "$before" ]] \
    || fail "$target: the folder held '$before' and holds '$(listing "$folder")'"
}

# A full disk, for a bitmap and for a JPEG.
mount_tmpfs "$work/full" 1m
cp "$work/orig/pic.bmp" "$work/orig/pic.jpg" "$work/full/"
mkdir "$work/full/cache"
fill_disk "$work/full"
save_fails "$work/full/pic.bmp" "No space left on device"
save_fails "$work/full/pic.jpg" "No space left on device"
# The home disk is full: the JPEG's scratch bitmap in the cache folder fails
# first, and the message still names the picture the user saves.
XDG_CACHE_HOME="$work/full/cache" save_fails "$work/full/pic.jpg" "No space left on device"
[[ -z "$(find "$work/full/cache" -type f)" ]] \
  || fail "scratch files left: $(find "$work/full/cache")"
cmp "$work/orig/pic.bmp" "$work/full/pic.bmp" || fail "the full disk's bitmap changed"
# Save As onto the full disk: a new file, and over an existing one.
mkdir -p "$work/src" && cp "$work/orig/pic.bmp" "$work/orig/pic.jpg" "$work/src/"
save_fails "$work/src/pic.jpg" "No space left on device" "$work/full/new.bmp"
save_fails "$work/src/pic.bmp" "No space left on device" "$work/full/pic.jpg"
cmp "$work/orig/pic.jpg" "$work/full/pic.jpg" || fail "the full disk's JPEG changed"

# A read-only disk (root may write anywhere else).
mount_tmpfs "$work/ro" 4m
cp "$work/orig/pic.bmp" "$work/orig/pic.jpg" "$work/ro/"
mount -o remount,ro "$work/ro" || fail "cannot make the tmpfs read-only"
save_fails "$work/ro/pic.bmp" "is not writable"
save_fails "$work/ro/pic.jpg" "is not writable"
cmp "$work/orig/pic.bmp" "$work/ro/pic.bmp" || fail "the read-only bitmap changed"
save_fails "$work/src/pic.bmp" "not writable" "$work/ro/pic.bmp"
save_fails "$work/src/pic.jpg" "Read-only file system" "$work/ro/new.jpg"
cmp "$work/orig/pic.jpg" "$work/ro/pic.jpg" || fail "the read-only JPEG changed"

# The file was replaced by a folder while the picture was open.
for ext in bmp jpg; do
  file="$work/dir/pic.$ext"
  rm -rf "$work/dir" && mkdir -p "$work/dir"
  cp "$work/orig/pic.$ext" "$file"
  : > "$SNAPLORN_MESSAGE_LOG"
  SNAPLORN_MESSAGE_ANSWERS=ok,no open_for_edit "$file"
  rm "$file" && mkdir "$file" && echo keep > "$file/inside.txt"
  xdotool key --clearmodifiers ctrl+s
  wait_logged "\"$file\"" || fail "$file: no message: $(cat "$SNAPLORN_MESSAGE_LOG")"
  [[ $(message_count) == 1 ]] || fail "$file: messages: $(cat "$SNAPLORN_MESSAGE_LOG")"
  cat "$SNAPLORN_MESSAGE_LOG" >> "$SNAPLORN_TESTHOME/seen.log"
  expect_close_asks
  [[ -d "$file" && "$(cat "$file/inside.txt")" == keep && "$(listing "$file")" == "inside.txt " ]] \
    || fail "$file: the folder was touched: $(listing "$file")"
  [[ "$(listing "$work/dir")" == "pic.$ext " ]] || fail "stray files: $(listing "$work/dir")"
done

# The last step of a save, the rename over the old file, fails.
mkdir -p "$work/rename"
cp "$work/orig/pic.bmp" "$work/orig/pic.jpg" "$work/rename/"
export LD_PRELOAD="$FAULTSHIM" FAULTSHIM_FAIL_RENAME="$work/rename/pic."
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
save_fails "$work/rename/pic.bmp" "could not be saved"
save_fails "$work/rename/pic.jpg" "could not be saved"
unset LD_PRELOAD FAULTSHIM_FAIL_RENAME
cmp "$work/orig/pic.bmp" "$work/rename/pic.bmp" || fail "the bitmap changed after a failed rename"
cmp "$work/orig/pic.jpg" "$work/rename/pic.jpg" || fail "the JPEG changed after a failed rename"

# The same disk once there is room again: the save goes through, so the
# failures above were the disk's and nothing else.
rm "$work/full/.filler"
: > "$SNAPLORN_MESSAGE_LOG"
open_for_edit "$work/full/pic.jpg"
xdotool key --clearmodifiers ctrl+s
poll 20 bash -c "! cmp -s '$work/orig/pic.jpg' '$work/full/pic.jpg'" \
  || fail "the save with room failed"
complete_jpeg "$work/full/pic.jpg" || fail "the saved JPEG is not complete"
xdotool windowactivate --sync "$WID" key --clearmodifiers alt+F4
poll 15 bash -c "! kill -0 $LAST_PID" || fail "a saved picture did not close at once"
[[ ! -s "$SNAPLORN_MESSAGE_LOG" ]] || fail "unexpected message: $(cat "$SNAPLORN_MESSAGE_LOG")"
echo "faults_save: all passed"
