#!/usr/bin/env bash
# The desktop services in a Wayland session (sway): the active window found
# over sway's IPC and captured pixel for pixel with the frame sway draws,
# the portal's pick where no compositor tells; the wallpaper set through
# sway and read back through a capture; the tray through a status notifier
# host; one program per session.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/wayland_lib.sh"
: "${WAYLAND_GRAB:?}" "${SWAYSOCK:?}"
here=$(dirname "$0")
mkdir -p "$out/wall paper's" && chmod -R 755 "$out" # swaybg reads the pictures

tree() { swaymsg -t get_tree; }
window_of() { tree | grep -q "\"pid\": $1,"; }
said() { # EXPECTED ARGS...: the command line fails and says EXPECTED
  local text
  text=$("$SNAPLORN_BINARY" "${@:2}" 2>&1) && fail "succeeded: $*"
  [[ "$text" == *"$1"* ]] || fail "'$*' said: $text"
}

# ---- the active window -------------------------------------------------------
convert -size 300x200 gradient:red-blue -fill yellow -draw 'rectangle 20,20 120,80' \
  -depth 8 "PNG24:$out/window.png"
# A window of fixed size floats in sway; it gets a border of 3 pixels.
show_window() {
  QT_WAYLAND_DISABLE_WINDOWDECORATION=1 "$WAYLAND_GRAB" window "$out/window.png" &
  window=$!
  STARTED_PIDS+=($window)
  poll 15 bash -c "swaymsg -t get_tree | grep -B8 '\"focused\": true' | grep -q 'floating_con'" \
    || fail "the test window did not come up focused: $(tree | head -c 2000)"
  swaymsg -q '[app_id="snaplorn-testwindow"] border pixel 3, move position 100 50' || fail "placing"
  sleep 0.3 # its first picture
}
show_window
# The frame is the window with the border sway draws in its focused colour.
convert "$out/window.png" -bordercolor '#285577' -border 3 "PNG24:$out/framed.png"
printed=$("$SNAPLORN_BINARY" --capture window --output "$out/active.bmp") || fail "window capture: $printed"
same "$out/active.bmp" "$out/framed.png" \
  || fail "the window capture is not the framed window: $(identify "$out/active.bmp")"
# With a title bar the frame grows upwards by the bar; below it is the same.
swaymsg -q '[app_id="snaplorn-testwindow"] border normal 3' || fail "border normal"
sleep 0.3
"$SNAPLORN_BINARY" --capture window --output "$out/titled.bmp" >/dev/null || fail "titled capture"
height=$(identify -format '%h' "$out/titled.bmp")
(( height > 206 )) || fail "no title bar in the frame: $(identify "$out/titled.bmp")"
[[ "$(identify -format '%w' "$out/titled.bmp")" == 306 ]] || fail "titled width"
part "$out/titled.bmp" "306x203+0+$((height - 203))" "$out/titled-window.png"
part "$out/framed.png" "306x203+0+3" "$out/framed-window.png"
same "$out/titled-window.png" "$out/framed-window.png" || fail "below the title bar the window differs"
# The same through the clipboard-free GUI path of another process is the
# program's business; here the faults: a socket that is missing or not sway's.
SWAYSOCK="$out/no-sway.sock" said "sway cannot be reached ($out/no-sway.sock: No such file or directory)" \
  --capture window --output "$out/none.bmp"
/usr/bin/python3 -c '
import socket, sys
s = socket.socket(socket.AF_UNIX); s.bind(sys.argv[1]); s.listen(1)
for _ in range(2):
    c, _ = s.accept(); c.recv(14); c.sendall(b"garbage, not i3-ipc"); c.close()
' "$out/garbage.sock" &
STARTED_PIDS+=($!)
poll 5 test -S "$out/garbage.sock" || fail "garbage socket"
SWAYSOCK="$out/garbage.sock" said "sway gave an answer that cannot be read" --capture window --output "$out/none.bmp"
[[ ! -e "$out/none.bmp" ]] || fail "a picture was written without a window"
# No window with the focus: the message, no picture.
kill "$window"; wait "$window" 2>/dev/null || true
poll 10 bash -c "! swaymsg -t get_tree | grep -q snaplorn-testwindow" || fail "the window stayed"
said "There is no active window to capture. Click the window you want, then capture again." \
  --capture window --output "$out/none.bmp"

# Where no compositor tells which window is active, the portal's dialog
# lets the user pick one: a portal of the test's own gives the picked
# picture to interactive requests only.
bus="$out/bus-pick"
dbus-daemon --session --address="unix:path=$bus" --nofork --nopidfile >/dev/null 2>&1 &
STARTED_PIDS+=($!)
poll 5 test -S "$bus" || fail "no bus for the pick"
DBUS_SESSION_BUS_ADDRESS="unix:path=$bus" /usr/bin/python3 "$here/fake_portal.py" pick "$out/window.png" \
  > "$out/portal-pick.log" 2>&1 &
STARTED_PIDS+=($!)
poll 5 grep -q ready "$out/portal-pick.log" || fail "the picking portal did not start"
picked=$(env -u SWAYSOCK DBUS_SESSION_BUS_ADDRESS="unix:path=$bus" \
  "$SNAPLORN_BINARY" --capture window --output "$out/picked.bmp" 2>&1) || fail "pick: $picked"
[[ "$picked" == *"This desktop does not tell which window is active. Pick the window in the desktop's screenshot dialog."* ]] \
  || fail "no pick notice: $picked"
same "$out/picked.bmp" "$out/window.png" || fail "the picked picture is not the window"
[[ -z "$(find "$out" -name 'window.png.*')" ]] || fail "the portal's picture was left behind"

# ---- the wallpaper -------------------------------------------------------------
# Through the service the program chooses in sway, in a folder whose name
# needs quoting; read back through the program's own capture.
wall="$out/wall paper's/Snaplorn.bmp"
convert -size 200x100 gradient:green-white -fill red -draw 'rectangle 5,5 50,40' -depth 8 "BMP3:$wall"
chmod 644 "$wall"
shows() { # STYLE EXPECTED [MIN-PSNR]
  "$WAYLAND_GRAB" wallpaper "$wall" "$1" || fail "setting the wallpaper ($1)"
  for _ in $(seq 1 60); do
    "$SNAPLORN_BINARY" --capture desktop --output "$out/desk.bmp" >/dev/null || fail "desktop capture"
    part "$out/desk.bmp" 1920x1080+0+0 "$out/shown.png"
    alike "$out/shown.png" "$2" "${3:-}" && return 0
    sleep 0.1
  done
  fail "the $1 wallpaper is not shown"
}
convert -size 1920x1080 xc:black "$wall" -gravity center -composite -depth 8 "PNG24:$out/center.png"
shows center "$out/center.png"
convert -size 1920x1080 "tile:$wall" -depth 8 "PNG24:$out/tile.png"
shows tile "$out/tile.png"
convert "$wall" -resize '1920x1080!' -depth 8 "PNG24:$out/stretch.png"
shows stretch "$out/stretch.png" 25
convert -size 1920x1080 xc:black -depth 8 "PNG24:$out/black.png"
shows none "$out/black.png"

# ---- the tray ------------------------------------------------------------------
# A status notifier host: the window goes into the tray at start; the
# host's menu follows the window; its window capture takes the window that
# was active, never the program's own; F4 hides the window again, a click
# on the icon brings it back, and Exit from the menu ends the program.
/usr/bin/python3 "$here/sni_host.py" serve > "$out/host.log" 2>&1 &
host=$!
STARTED_PIDS+=($host)
poll 10 grep -q ready "$out/host.log" || fail "the status notifier host did not start"
show_window
write_settings "RunInTray=1"
sni() { /usr/bin/python3 "$here/sni_host.py" "$@"; }
items() { grep -c '^item ' "$out/host.log" || true; }
tray_item() { # waits for the icon after the first BEFORE, prints its service
  poll 15 bash -c "(( \$(grep -c '^item ' '$out/host.log') > $1 ))" \
    || fail "no icon registered: $(cat "$out/host.log" "$SNAPLORN_TESTHOME/snaplorn.out")"
  grep '^item ' "$out/host.log" | tail -n 1 | cut -d' ' -f2
}
before=$(items)
start_snaplorn
pid=$LAST_PID
item=$(tray_item "$before")
show_entry() { sni menu "$item" | grep -q "|_Show Application...|$1\$"; }
sleep 1
window_of "$pid" && fail "the window did not go into the tray at start"
poll 10 show_entry enabled || fail "menu while hidden: $(sni menu "$item")"
sni click "$item" "Capture Active _Window" || fail "window capture from the menu"
poll 15 bash -c "swaymsg -t get_tree | grep -q '\"name\": \"Quorvex Snaplorn Screen Capture 3.0\"'" \
  || fail "the window capture did not land"
poll 10 show_entry disabled || fail "menu while shown: $(sni menu "$item")"
# The canvas shows the picture at its top-left corner: found by the
# border's colour once the window itself is gone.
kill "$window"; wait "$window" 2>/dev/null || true
sleep 0.5
"$WAYLAND_GRAB" screencopy "$out/main.png" >/dev/null || fail "screencopy of the main window"
convert "$out/main.png" -crop 900x700+0+0 +repage "txt:$out/main.txt"
corner=$(grep -m1 -i '#285577' "$out/main.txt" | cut -d: -f1) || fail "no picture on the canvas"
part "$out/main.png" "306x206+${corner%,*}+${corner#*,}" "$out/canvas.png"
same "$out/canvas.png" "$out/framed.png" || fail "the canvas does not show the active window"
wtype -s 100 -k F4 || fail "wtype"
poll 15 bash -c "! swaymsg -t get_tree | grep -q '\"pid\": $pid,'" || fail "F4 did not hide the window"
sni activate "$item" || fail "activate"
poll 15 window_of "$pid" || fail "a click on the icon did not bring the window back"
# The capture's copy on the clipboard stays with Qt's Wayland connection
# until the process ends; this one is stopped, and Exit is chosen in the
# next one's menu.
kill "$pid"; wait "$pid" 2>/dev/null || true
before=$(items)
start_snaplorn
pid=$LAST_PID
item=$(tray_item "$before")
sni click "$item" "E_xit" || fail "exit from the menu"
poll 15 bash -c "! kill -0 $pid" || fail "Exit from the tray menu did not end the program"

# ---- one program per session -----------------------------------------------------
# Without a tray host the window stays where it can be reached (sway has no
# minimised windows), and a second start hands over to the first.
kill "$host"
poll 10 bash -c "! dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
  org.freedesktop.DBus.NameHasOwner string:org.kde.StatusNotifierWatcher | grep -q true" \
  || fail "the tray host stayed"
start_snaplorn
first=$LAST_PID
poll 15 window_of "$first" || fail "no main window without a tray host"
timeout 20 "$SNAPLORN_BINARY" || fail "second start exited with $?"
message_logged "exclamation|ok|Snaplorn21|Quorvex Snaplorn is already running." \
  || fail "no 'already running' message: $(cat "$SNAPLORN_MESSAGE_LOG")"
kill -0 "$first" || fail "the first instance died"
echo "PASS"
