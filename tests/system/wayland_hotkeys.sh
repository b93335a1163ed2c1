#!/usr/bin/env bash
# Hot keys in a Wayland session (sway), through the desktop's global
# shortcuts portal: without one, the one message at start; with a backend of
# this test's own behind the real portal frontend, the keys chosen in the
# options offered as preferred triggers, a pressed shortcut running its
# capture, a refused bind, a session the desktop ends, and a portal that
# answers with an error, each one message and a program that goes on.
source "$(dirname "$0")/lib.sh"
: "${SWAYSOCK:?}" "${SNAPLORN_WAYSTATE:?}"
here=$(cd "$(dirname "$0")" && pwd)
waysession="$here/../../scripts/waysession.sh"
out="$SNAPLORN_TESTHOME/wayland-keys"
rm -rf "$out" && mkdir -p "$out"

# The session goes back to its own portals whatever happens here.
trap 'cleanup_started; "$waysession" frontend "$SNAPLORN_WAYSTATE" >/dev/null 2>&1 || true' EXIT

settings_with_keys() {
  mkdir -p "$XDG_CONFIG_HOME/Quorvex"
  printf '[Software\\Quorvex\\Snaplorn21]\nHotKeyPresent=1\nHotKeyRect=1,121\nHotKeyDesk=6,65\nHotKeyWin=1,123\n' \
    > "$XDG_CONFIG_HOME/Quorvex/Snaplorn21.conf"
}
# The title of the program's window, as sway shows it.
title() {
  swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(node):
    if node.get("pid") == int(sys.argv[1]):
        print(node.get("name") or "")
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))' "$LAST_PID"
}
titled() { [[ "$(title)" == "$1" ]]; }
said() { grep -cF "$1" "$SNAPLORN_MESSAGE_LOG" || true; }
stop_program() { kill "$LAST_PID" 2>/dev/null; wait "$LAST_PID" 2>/dev/null || true; }
steer() { dbus-send --session --print-reply --dest=org.freedesktop.impl.portal.desktop.snaplornkeys \
  /org/snaplorn/testkeys "org.snaplorn.TestKeys.$1" "${@:2}" >/dev/null; }
running() { kill -0 "$LAST_PID" 2>/dev/null || fail "the program ended: $(tail -n 5 "$SNAPLORN_TESTHOME/snaplorn.out")"; }

settings_with_keys

# sway as it comes: no global shortcuts portal. One message naming the
# portal and the command to bind instead; the program starts all the same.
start_snaplorn
poll 20 titled "Quorvex Snaplorn Screen Capture" || fail "no window in the session: $(title)"
poll 15 grep -qF "org.freedesktop.portal.GlobalShortcuts" "$SNAPLORN_MESSAGE_LOG" \
  || fail "no message about the missing portal: $(cat "$SNAPLORN_MESSAGE_LOG")"
grep -qF 'snaplorn --capture desktop' "$SNAPLORN_MESSAGE_LOG" || fail "the message names no command"
sleep 1
running
[[ "$(wc -l < "$SNAPLORN_MESSAGE_LOG")" == 1 ]] || fail "more than one message: $(cat "$SNAPLORN_MESSAGE_LOG")"
stop_program

# The portal's frontend with this test's backend.
PYTHONUNBUFFERED=1 /usr/bin/python3 "$here/portal_shortcuts.py" > "$out/backend.log" 2>&1 &
STARTED_PIDS+=($!)
poll 10 grep -q ready "$out/backend.log" || fail "the shortcuts backend did not start"
printf '[portal]\nDBusName=org.freedesktop.impl.portal.desktop.snaplornkeys\nInterfaces=org.freedesktop.impl.portal.GlobalShortcuts;\nUseIn=sway\n' \
  > "$out/snaplornkeys.portal"
"$waysession" frontend "$SNAPLORN_WAYSTATE" "$out/snaplornkeys.portal" || fail "restarting the portal"

# Bound with the keys of the options as preferred triggers; a pressed
# shortcut runs its capture (the window's title becomes the capture's).
: > "$SNAPLORN_MESSAGE_LOG"
start_snaplorn
poll 20 grep -q "^bind .* answer 0 " "$out/backend.log" || fail "nothing bound: $(cat "$out/backend.log")"
grep -q "^create .*rectangle=ALT+F10 desktop=CTRL+SHIFT+a window=ALT+F12" "$out/backend.log" \
  || fail "the session was not created with the keys: $(cat "$out/backend.log")"
grep -q "^bind .*rectangle=ALT+F10 desktop=CTRL+SHIFT+a window=ALT+F12" "$out/backend.log" \
  || fail "preferred triggers: $(cat "$out/backend.log")"
poll 20 titled "Quorvex Snaplorn Screen Capture" || fail "no window: $(title)"
steer Activate string:desktop
poll 10 titled "Quorvex Snaplorn Screen Capture 3.0" || fail "the shortcut ran no capture: $(title)"
[[ ! -s "$SNAPLORN_MESSAGE_LOG" ]] || fail "messages: $(cat "$SNAPLORN_MESSAGE_LOG")"

# The desktop ends the session: one message, and the program goes on.
steer CloseSession
poll 10 grep -qF "The desktop has ended the hot keys of this program." "$SNAPLORN_MESSAGE_LOG" \
  || fail "no message for the closed session: $(cat "$SNAPLORN_MESSAGE_LOG")"
sleep 0.5
running
[[ "$(said "ended the hot keys")" == 1 ]] || fail "the closed session was told twice"
stop_program

# The desktop refuses to bind: one message with its answer.
: > "$SNAPLORN_MESSAGE_LOG"
steer Answer uint32:2
start_snaplorn
poll 20 grep -qF "The desktop did not bind the hot keys (response 2)." "$SNAPLORN_MESSAGE_LOG" \
  || fail "no message for the refused bind: $(cat "$SNAPLORN_MESSAGE_LOG")"
poll 10 titled "Quorvex Snaplorn Screen Capture" || fail "no window after the refusal: $(title)"
running
stop_program

# A portal that answers with an error (its own bus, the same compositor).
: > "$SNAPLORN_MESSAGE_LOG"
bus="$out/bus-error"
dbus-daemon --session --address="unix:path=$bus" --nofork --nopidfile >/dev/null 2>&1 &
STARTED_PIDS+=($!)
poll 5 test -S "$bus" || fail "no private bus"
DBUS_SESSION_BUS_ADDRESS="unix:path=$bus" /usr/bin/python3 "$here/fake_portal.py" keys-error \
  > "$out/portal-error.log" 2>&1 &
STARTED_PIDS+=($!)
poll 10 grep -q ready "$out/portal-error.log" || fail "the fake portal did not start"
DBUS_SESSION_BUS_ADDRESS="unix:path=$bus" start_snaplorn
poll 20 grep -qF "answered with an error (Portal operation not allowed)" "$SNAPLORN_MESSAGE_LOG" \
  || fail "no message for the error: $(cat "$SNAPLORN_MESSAGE_LOG")"
running
stop_program
echo "PASS"
