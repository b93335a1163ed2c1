#!/usr/bin/env bash
# Snaplorn in a KWin session (KDE Plasma, Wayland), with KDE's own portals:
# a hot key bound through KDE's global shortcuts portal and typed through
# KWin's fake input runs its capture, in two starts one after the other; the
# active window found through KWin and the screen through KDE's screenshot
# portal are both the pixels of a known window.
source "$(dirname "$0")/lib.sh"
: "${SNAPLORN_KWINSTATE:?}" "${FAKE_INPUT:?}" "${SHOW_PICTURE:?}"
[[ -s "$SNAPLORN_KWINSTATE/env" ]] || fail "no KWin session is running (kwin fixture)"
source "$SNAPLORN_KWINSTATE/env"
export QT_QPA_PLATFORM=wayland
unset DISPLAY
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
out="$SNAPLORN_TESTHOME/kwin"
rm -rf "$out" && mkdir -p "$out" && chmod 755 "$SNAPLORN_TESTHOME" "$out"

# KWin hands fake input only to clients of the session's own user (which
# cannot write into the tests' sanitizer report folder).
fake() {
  setpriv --reuid=65534 --regid=65534 --clear-groups env -u ASAN_OPTIONS -u UBSAN_OPTIONS \
    XDG_RUNTIME_DIR="$SNAPLORN_KWINSTATE/runtime" \
    WAYLAND_DISPLAY="$WAYLAND_DISPLAY" "$FAKE_INPUT" "$@"
}
# The windows KWin manages, one line each: pid x y width height active caption
# (a KWin script prints them into KWin's log, marked with a fresh number).
windows() {
  local mark="snaplorn-window-$RANDOM$RANDOM"
  cat > "$out/windows.js" <<JS
var clients = workspace.clientList();
for (var i = 0; i < clients.length; ++i) {
    var c = clients[i], g = c.frameGeometry;
    print("$mark " + c.pid + " " + g.x + " " + g.y + " " + g.width + " " + g.height + " "
          + (c === workspace.activeClient) + " " + c.caption);
}
print("$mark end");
JS
  chmod 644 "$out/windows.js"
  dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
    org.kde.kwin.Scripting.loadScript "string:$out/windows.js" string:snaplorn-windows >/dev/null
  dbus-send --session --print-reply --dest=org.kde.KWin /Scripting org.kde.kwin.Scripting.start >/dev/null
  for _ in $(seq 1 40); do grep -q "$mark end" "$SNAPLORN_KWINSTATE/kwin.log" && break; sleep 0.05; done
  dbus-send --session --print-reply --dest=org.kde.KWin /Scripting \
    org.kde.kwin.Scripting.unloadScript string:snaplorn-windows >/dev/null
  grep -o "$mark [0-9].*" "$SNAPLORN_KWINSTATE/kwin.log" | cut -d' ' -f2-
}
title_of() { windows | awk -v pid="$1" '$1 == pid { $1=$2=$3=$4=$5=$6=""; sub(/^ +/, ""); print }'; }
titled() { [[ "$(title_of "$LAST_PID")" == "$1" ]]; }
sessions_created() { grep -c "CreateSession called" "$SNAPLORN_KWINSTATE/kde.log" || true; }

# Typed Alt+F11 runs the full-screen capture: the window's title becomes the
# capture's. Twice, in two starts: the desktop keeps the key with the
# program's record of it.
mkdir -p "$XDG_CONFIG_HOME/Quorvex"
printf '[Software\\Quorvex\\Snaplorn21]\nHotKeyPresent=1\nHotKeyDesk=1,122\n' \
  > "$XDG_CONFIG_HOME/Quorvex/Snaplorn21.conf"
for run in 1 2; do
  before=$(sessions_created)
  start_snaplorn
  poll 20 titled "Quorvex Snaplorn Screen Capture" || fail "start $run: no window ($(windows))"
  more_sessions() { (( $(sessions_created) > before )); }
  poll 20 more_sessions || fail "start $run: no shortcuts session"
  captured=""
  # (Pressed again while the desktop may not have bound the key yet; a
  # press is given time for its capture, which a busy machine slows down.)
  for _ in $(seq 1 6); do
    fake key 56 87 || fail "the fake input was refused"
    if poll 5 titled "Quorvex Snaplorn Screen Capture 3.0"; then captured=yes; break; fi
  done
  [[ -n "$captured" ]] || fail "start $run: Alt+F11 ran no capture ($(title_of "$LAST_PID"))"
  [[ ! -s "$SNAPLORN_MESSAGE_LOG" ]] || fail "messages: $(cat "$SNAPLORN_MESSAGE_LOG")"
  # A capture of an earlier press may still be under way: the program ends
  # once the portal's files are read and gone.
  no_portal_files() { [[ -z "$(find "$SNAPLORN_KWIN_HOME/Pictures" -type f 2>/dev/null)" ]]; }
  sleep 1
  poll 10 no_portal_files || true
  kill "$LAST_PID"; wait "$LAST_PID" 2>/dev/null || true
done

# A known window, the pointer off it: the active window and the screen.
convert -size 400x300 gradient:navy-orange -fill yellow -draw 'rectangle 10,10 200,120' \
  -depth 8 "PNG24:$out/picture.png"
"$SHOW_PICTURE" "$out/picture.png" >"$out/picture.log" 2>&1 &
STARTED_PIDS+=($!)
picture_pid=$!
shown() { windows | awk -v pid="$picture_pid" '$1 == pid && $6 == "true"' | grep -q .; }
poll 20 shown || fail "the picture's window is not active: $(windows)"
read -r _ x y w h _ <<<"$(windows | awk -v pid="$picture_pid" '$1 == pid')"
[[ "$w x $h" == "400 x 300" ]] || fail "the picture's window is $w x $h"
fake move 1910 1070

same() { [[ "$(compare -metric AE "$1" "$2" null: 2>&1)" == "0" ]]; }
"$SNAPLORN_BINARY" --capture window --output "$out/window.bmp" >/dev/null || fail "window capture"
same "$out/window.bmp" "$out/picture.png" || fail "the active window's picture differs"
"$SNAPLORN_BINARY" --capture desktop --output "$out/desktop.bmp" >/dev/null || fail "desktop capture"
[[ "$(identify -format '%wx%h' "$out/desktop.bmp")" == "1920x1080" ]] || fail "desktop size"
convert "$out/desktop.bmp" -crop "${w}x${h}+${x}+${y}" +repage "PNG24:$out/desktop-part.png"
same "$out/desktop-part.png" "$out/picture.png" || fail "the portal's picture differs at the window"
leftover=$(find "$SNAPLORN_KWIN_HOME/Pictures" -type f | head -n 1)
[[ -z "$leftover" ]] || fail "the portal's file was left behind: $leftover"
echo "PASS"
