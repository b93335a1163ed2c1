#!/usr/bin/env bash
# The broadcast message against a real HTTP server on loopback: a message
# is shown and tracked, a blocked one is not, tags in lower case are found,
# web pages, missing files, oversized replies and a file lacking a tag show
# nothing, Yes opens web addresses only, and a server that never answers
# leaves the program responsive and quick to close.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/tray_lib.sh"

root="$SNAPLORN_TESTHOME/www"
rm -rf "$root"
server_log="$SNAPLORN_TESTHOME/http.log"
browser_log="$SNAPLORN_TESTHOME/browser.log"
: > "$browser_log"
printf '#!/bin/sh\necho "$@" >> "%s"\n' "$browser_log" > "$SNAPLORN_TESTHOME/browser.sh"
chmod +x "$SNAPLORN_TESTHOME/browser.sh"
export BROWSER="$SNAPLORN_TESTHOME/browser.sh"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION

# publish CASE CONTENT : the broadcast file of one case
publish() {
  mkdir -p "$root/$1/snaplorn"
  printf '%s' "$2" > "$root/$1/snaplorn/BCSnplrn21.bbc"
}

mkdir -p "$root"
# Emptied here, not by the background redirection: a poll that ran before the
# server's shell got to it would read the port of an earlier run.
: > "$server_log"
PYTHONUNBUFFERED=1 /usr/bin/python3 -m http.server 0 --bind 127.0.0.1 --directory "$root" \
  > "$server_log" 2>&1 &
STARTED_PIDS+=("$!")
poll 10 grep -q "Serving HTTP" "$server_log" || fail "the HTTP server did not start"
port=$(sed -n 's/.* port \([0-9]*\) .*/\1/p' "$server_log" | head -n 1)
base="http://127.0.0.1:$port"

tracked() { grep -qF "\"GET /$1/snaplorn/BCSnplrn21_track.asp?n=NoName&t=SNL30 HTTP" "$server_log"; }

# start_case CASE HIDE-ID : the program fetches the case's file
start_case() {
  write_settings "HideMsgID=$2"
  export SNAPLORN_BROADCAST_URL="$base/$1"
  start_snaplorn
  CASE_PID=$LAST_PID
  poll 15 grep -qF "\"GET /$1/snaplorn/BCSnplrn21.bbc HTTP" "$server_log" \
    || fail "$1: the broadcast file was not requested"
}

stop_case() {
  kill "$CASE_PID" 2>/dev/null || true
  wait "$CASE_PID" 2>/dev/null || true
}

# Names of the program's visible windows, one a line.
window_names() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$CASE_PID" 2>/dev/null); do
    xdotool getwindowname "$w" 2>/dev/null
  done
}

# expect_nothing CASE : no message box and no tracking request
expect_nothing() {
  sleep 1.5
  local others
  others=$(window_names | grep -vxF "Quorvex Snaplorn Screen Capture" || true)
  [[ -z "$others" ]] || fail "$1: a window was shown: '$others'"
  tracked "$1" && fail "$1: a tracking request was sent"
  kill -0 "$CASE_PID" || fail "$1: the program ended"
  stop_case
}

message() { # USR MID MSG URL BTN TTL
  printf '<USR>%s</USR>\r\n<MID>%s</MID>\r\n<MSG>%s</MSG>\r\n<URL>%s</URL>\r\n<BTN>%s</BTN>\r\n<TTL>%s</TTL>\r\n' "$@"
}

# Shown and tracked; Yes opens the web address in the browser.
publish shown "$(message "SNL21 SNL30" 43 "Version 3.1 is out." "$base/landing" YN "News 43")"
start_case shown 42
box=$(wait_window "^News 43 \$")
poll 15 tracked shown || fail "shown: no tracking request: $(cat "$server_log")"
xdotool windowactivate --sync "$box" key Return
poll 10 grep -qxF "$base/landing" "$browser_log" || fail "Yes did not open the page"
stop_case

# The message the user blocked (42) stays away.
publish blocked "$(message SNL30 42 "Old news." "$base/" OK "Blocked")"
start_case blocked 42
expect_nothing blocked

# Tags in lower case.
publish lower "<ttl>Lower Case</ttl><btn>ok</btn><url>$base/</url><msg>lower</msg><mid>44</mid><usr>SNL30</usr>"
start_case lower 0
wait_window "^Lower Case \$" >/dev/null
poll 15 tracked lower || fail "lower: no tracking request"
stop_case

# A web page (a server's error page) and a missing file show nothing.
publish page "<HTML><HEAD><TITLE>Error</TITLE></HEAD><BODY>$(message SNL30 45 Hi "$base/" OK Page)</BODY></HTML>"
start_case page 0
expect_nothing page
start_case missing 0
expect_nothing missing

# A file without the text's opening tag is malformed: nothing shown or tracked.
publish notag "$(message SNL30 46 "No opening tag" "$base/" YN "Notag" | sed 's/<MSG>//')"
start_case notag 0
expect_nothing notag

# A file: address is not opened by Yes.
publish fileurl "$(message SNL30 47 "Local file" "file:///etc/passwd" YN "File link")"
: > "$browser_log"
start_case fileurl 0
box=$(wait_window "^File link \$")
xdotool windowactivate --sync "$box" key Return
poll 15 message_logged 'exclamation|ok|Snaplorn21|The address "file:///etc/passwd" is not a web page and was not opened.' \
  || fail "fileurl: no refusal: $(cat "$SNAPLORN_MESSAGE_LOG")"
sleep 0.5
[[ ! -s "$browser_log" ]] || fail "fileurl: something was opened: $(cat "$browser_log")"
stop_case

# An oversized reply is dropped whole.
publish big "$(message SNL30 48 "Big" "$base/" OK "Big"; head -c 100000 /dev/zero | tr '\0' ' ')"
start_case big 0
expect_nothing big

# A server that never answers: the window stays responsive and the program
# closes at once instead of waiting for the time-out.
silent_log="$SNAPLORN_TESTHOME/silent.log"
: > "$silent_log"
PYTHONUNBUFFERED=1 /usr/bin/python3 -c '
import socket
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(8)
print("port", server.getsockname()[1])
held = []
while True:
    connection, _ = server.accept()
    held.append(connection)
    print("accepted")
' > "$silent_log" 2>&1 &
STARTED_PIDS+=("$!")
poll 10 grep -q "^port" "$silent_log" || fail "the silent server did not start"
write_settings "HideMsgID=0"
export SNAPLORN_BROADCAST_URL="http://127.0.0.1:$(sed -n 's/^port //p' "$silent_log")"
start_snaplorn
CASE_PID=$LAST_PID
wid=$(wait_window "Quorvex Snaplorn")
poll 10 grep -q "^accepted" "$silent_log" || fail "silent: no request reached the server"
xdotool windowactivate --sync "$wid" key F4
poll 15 window_hidden "$wid" || fail "silent: the window did not answer F4 while the download waits"
icon=$(wait_tray_icon) || fail "silent: no tray icon"
started=$SECONDS
tray_menu_exit "$icon"
poll 8 bash -c "! kill -0 $CASE_PID" || fail "silent: the program did not close promptly"
(( SECONDS - started < 8 )) || fail "silent: closing took $((SECONDS - started)) s"
echo "broadcast: ok"
