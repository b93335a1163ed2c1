#!/usr/bin/env bash
# Tray mode on a real tray host: "RunInTray" sends the program into the
# tray at start, a double click on the icon brings the window back, F4 hides
# it again, and Exit from the icon's menu asks about an unsaved image over
# the hidden window (Cancel keeps the program in the tray).
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/tray_lib.sh"
export SNAPLORN_BROADCAST_URL=http://127.0.0.1:9 # nothing listens: no broadcast
export SNAPLORN_MESSAGE_ANSWERS=cancel,no
write_settings "RunInTray=1"

start_snaplorn
pid=$LAST_PID
icon=$(wait_tray_icon) || fail "no tray icon appeared"
wid=$(xdotool search --name "Quorvex Snaplorn" | head -n 1)
[[ -n "$wid" ]] || fail "no main window"
poll 15 window_hidden "$wid" || fail "the window did not go into the tray at start"

# A double click on the icon restores the window; the icon stays.
click_icon "$icon" --repeat 2 --delay 80 1
poll 15 window_shown "$wid" || fail "a double click did not restore the window"
tray_icon >/dev/null || fail "the icon went away after the restore"

# An unsaved image: a full-screen capture (F12), then F4 into the tray.
xdotool windowactivate --sync "$wid" key F12
poll 10 bash -c "[[ \"\$(xdotool getwindowname $wid)\" == 'Quorvex Snaplorn Screen Capture 3.0' ]]" \
  || fail "the capture did not land: '$(xdotool getwindowname "$wid")'"
poll 15 window_shown "$wid" || fail "the window did not come back after the capture"
xdotool windowactivate --sync "$wid" key F4
poll 15 window_hidden "$wid" || fail "F4 did not hide the window"
icon=$(wait_tray_icon) || fail "no tray icon after F4"

# Exit from the tray menu: the question comes; Cancel keeps the program.
ask="exclamation|yesnocancel|Snaplorn21|You haven't saved the image.\\r\\nDo you want to save?"
tray_menu_exit "$icon"
poll 15 message_logged "$ask" || fail "no unsaved-image question: $(cat "$SNAPLORN_MESSAGE_LOG")"
sleep 0.5
kill -0 "$pid" || fail "the program ended although Cancel was answered"
window_hidden "$wid" || fail "Cancel brought the window back"
tray_icon >/dev/null || fail "the icon went away after Cancel"

# Exit again, answering No: the program ends and the icon goes with it.
tray_menu_exit "$icon"
poll 10 bash -c "! kill -0 $pid" || fail "the program did not end after No"
[[ $(grep -cF "$ask" "$SNAPLORN_MESSAGE_LOG") -eq 2 ]] || fail "expected two questions"
tray_icon >/dev/null && fail "the icon outlived the program"
echo "tray: ok"
