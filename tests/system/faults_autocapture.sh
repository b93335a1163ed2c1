#!/usr/bin/env bash
# An auto-capture series whose disk fills up, and one whose folder goes away,
# in the middle: the pictures already written keep every byte, no half file
# is left, the series ends with one message and the window comes back.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/faults_lib.sh"
work="$SNAPLORN_TESTHOME/auto"
rm -rf "$work" && mkdir -p "$work"
convert -size 1920x1080 gradient:navy-orange "$work/root.png"
display -window root "$work/root.png" || true # sets the background, then exits 1

# start_series FOLDER : starts the program and Capture > Start Auto Capture
# with a short interval, and waits for the first two pictures.
start_series() {
  write_settings "AutoFolder=$1
AutoInterval=0.4
AutoImagesNum=500"
  : > "$SNAPLORN_MESSAGE_LOG"
  SNAPLORN_MESSAGE_ANSWERS=ok start_snaplorn
  WID=$(wait_window "Quorvex Snaplorn Screen Capture")
  poll 10 xdotool windowactivate --sync "$WID" || fail "cannot activate the window"
  sleep 0.5
  xdotool key --clearmodifiers alt+c
  sleep 0.4
  xdotool key a
  poll 30 test -e "$1/Screen2.jpg" || fail "the series did not start: $(listing "$1")"
}

# Checksums of the pictures in FOLDER, one line each.
pictures() { (cd "$1" && sha256sum Screen*.jpg); }

# check_survivors FOLDER BEFORE : every picture listed in BEFORE is unchanged,
# every picture is a complete JPEG, the numbers run without a gap, and there
# is nothing else but the filler.
check_survivors() {
  local folder=$1 before=$2 n count
  (cd "$folder" && sha256sum --quiet -c <<<"$before") || fail "a written picture changed"
  count=$(ls "$folder" | grep -c '^Screen[0-9]*\.jpg$')
  for ((n = 1; n <= count; n++)); do
    complete_jpeg "$folder/Screen$n.jpg" || fail "Screen$n.jpg is missing or incomplete"
  done
  [[ -z "$(ls -A "$folder" | grep -v -e '^Screen[0-9]*\.jpg$' -e '^\.filler$')" ]] \
    || fail "stray files: $(listing "$folder")"
}

# wait_end PATTERN : the series ends with one message and the window returns.
wait_end() {
  poll 30 grep -q . "$SNAPLORN_MESSAGE_LOG" || fail "the series did not end"
  sleep 1.5 # one more tick or two would show up as a further message or file
  [[ $(message_count) == 1 ]] || fail "messages: $(cat "$SNAPLORN_MESSAGE_LOG")"
  grep -qE -- "$1" "$SNAPLORN_MESSAGE_LOG" || fail "message: $(cat "$SNAPLORN_MESSAGE_LOG")"
  wait_window "Quorvex Snaplorn Screen Capture" >/dev/null
  kill -0 "$LAST_PID" || fail "the program ended"
  kill "$LAST_PID"
  wait "$LAST_PID" 2>/dev/null || true
  cat "$SNAPLORN_MESSAGE_LOG" >> "$SNAPLORN_TESTHOME/seen.log"
}

# The disk fills up.
mount_tmpfs "$work/full" 8m
start_series "$work/full"
fill_disk "$work/full"
before=$(pictures "$work/full")
wait_end "could not be saved as \"$work/full/Screen[0-9]+\.jpg\": No space left on device"
check_survivors "$work/full" "$before"

# The folder is moved away (another program tidies up, a disk is unplugged).
mkdir -p "$work/gone"
start_series "$work/gone"
mv "$work/gone" "$work/moved"
before=$(pictures "$work/moved")
# A save that was on its way when the folder went may report the folder
# or the file; either way the series ends.
wait_end "Auto capture save folder does not exist|could not be saved as \"$work/gone/"
check_survivors "$work/moved" "$before"
[[ ! -e "$work/gone" ]] || fail "the folder was made again"
echo "faults_autocapture: all passed"
