#!/usr/bin/env bash
# Damaged settings: a truncated file, binary garbage, a 10 MB value, a file
# on a read-only disk, a folder that cannot be made, a folder in the file's
# place. The program must start, show at most one message, and use the
# defaults for what it cannot read; the JPEG quality (80 by default) is read
# back from a saved picture to see which value was in force.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
work="$SNAPLORN_TESTHOME/settings"
config="$XDG_CONFIG_HOME/Quorvex"
conf="$config/Snaplorn21.conf"
rm -rf "$work" "$config" && mkdir -p "$work" "$config"
convert -size 320x240 gradient:red-blue -quality 50 "$work/orig.jpg"

# A complete file as the program writes it, with a quality of 30.
valid=$'[Software\\Quorvex\\Snaplorn21]\nAutoFolder=/pics\nAutoImagesNum=5\nAutoInterval=10\n'
valid+=$'HideMsgID=0\nHotKeyDesk=1,122\nHotKeyPresent=0\nHotKeyRect=1,121\nHotKeyWin=1,123\n'
valid+=$'JpgQuality=30\nRunInTray=0\n\n'

# starts_with QUALITY MAX-MESSAGES : starts on a picture, saves it edited as
# JPEG and checks the quality in force and the number of messages.
starts_with() {
  local quality=$1 most=$2 file="$work/pic.jpg"
  cp "$work/orig.jpg" "$file"
  : > "$SNAPLORN_MESSAGE_LOG"
  SNAPLORN_MESSAGE_ANSWERS=ok open_for_edit "$file"
  xdotool key --clearmodifiers ctrl+s
  poll 20 bash -c "! cmp -s '$work/orig.jpg' '$file'" || fail "$CASE: the picture was not saved"
  poll 10 complete_jpeg "$file" || fail "$CASE: the saved JPEG is not complete"
  [[ "$(identify -format %Q "$file")" == "$quality" ]] \
    || fail "$CASE: quality $(identify -format %Q "$file"), expected $quality"
  (( $(message_count) <= most )) || fail "$CASE: messages: $(cat "$SNAPLORN_MESSAGE_LOG")"
  xdotool windowactivate --sync "$WID" key --clearmodifiers alt+F4
  poll 15 bash -c "! kill -0 $LAST_PID" || fail "$CASE: the program did not close"
  wait "$LAST_PID" || fail "$CASE: the program exited with $?"
  cat "$SNAPLORN_MESSAGE_LOG" >> "$SNAPLORN_TESTHOME/seen.log"
}

# The key the program creates on a first start, with a readable quality.
repaired() { grep -qx "JpgQuality=80" "$conf" && grep -qx "HotKeyWin=1,123" "$conf"; }

CASE="cut in the middle of a name"
printf '%s' "${valid%%Present=0*}Pres" > "$conf"
starts_with 80 0
[[ "$(cat "$conf")" == "${valid%%Present=0*}Pres" ]] || fail "$CASE: the file was rewritten"

CASE="empty file"
: > "$conf"
starts_with 80 0
repaired || fail "$CASE: the key was not created: $(cat "$conf")"

CASE="binary garbage"
head -c 65536 /dev/urandom > "$conf"
starts_with 80 1
repaired || fail "$CASE: the file was not repaired"

CASE="10 MB values"
{
  printf '[Software\\Quorvex\\Snaplorn21]\nJpgQuality=30\nHotKeyPresent=0\nHideMsgID='
  head -c 10485760 /dev/zero | tr '\0' x
  printf '\nAutoImagesNum='
  head -c 10485760 /dev/zero | tr '\0' 7
  printf '\n'
} > "$conf"
starts_with 30 1
grep -q "AutoImagesNum" "$SNAPLORN_MESSAGE_LOG" || fail "$CASE: no word on the huge number"

CASE="read-only disk"
printf '%s' "$valid" > "$conf"
read_only_bind "$config"
starts_with 30 0
[[ "$(cat "$conf"; echo .)" == "$valid." ]] || fail "$CASE: the file changed"
umount "$config"

CASE="read-only disk, empty file"
: > "$conf"
read_only_bind "$config"
starts_with 80 1
[[ ! -s "$conf" ]] || fail "$CASE: the file changed"
umount "$config"

CASE="a folder in place of the file"
rm -f "$conf" && mkdir "$conf"
starts_with 80 1
[[ -d "$conf" && -z "$(ls -A "$conf")" ]] || fail "$CASE: the folder was touched"
rmdir "$conf"

CASE="a folder that cannot be made"
: > "$work/blocker"
XDG_CONFIG_HOME="$work/blocker/config" starts_with 80 1
[[ -f "$work/blocker" && ! -s "$work/blocker" ]] || fail "$CASE: the blocking file changed"
echo "faults_settings: all passed"
