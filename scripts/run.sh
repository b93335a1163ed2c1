#!/usr/bin/env bash
# `make run`: starts Snaplorn on the current display. Without a display it
# runs a short demo on a private X display instead: puts a screen-like
# picture on that display, takes a command-line capture of it into
# BUILD_DIR/demo/capture.jpg, opens that file in Snaplorn, saves a
# screenshot of the main window showing it as BUILD_DIR/demo/window.png,
# prints both paths and stops everything it started.
set -euo pipefail
build=${1:-build}
binary="$build/snaplorn"
[[ -x "$binary" ]] || { echo "$binary is missing; run make first" >&2; exit 1; }

if [[ -n "${DISPLAY:-}" ]]; then
  exec "$binary"
fi

state=$(mktemp -d /tmp/snaplorn-demo.XXXXXX)
demo="$build/demo"
mkdir -p "$demo"
app_pid=""
cleanup() {
  [[ -n "$app_pid" ]] && kill "$app_pid" 2>/dev/null
  scripts/xsession.sh stop "$state" >/dev/null 2>&1
  rm -rf "$state"
}
trap cleanup EXIT

scripts/xsession.sh start "$state" >/dev/null
DISPLAY=$(cat "$state/display")
export DISPLAY
export XDG_RUNTIME_DIR="$state/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb

# A screen-like picture: a desktop gradient with two windows of text.
text="Snaplorn demo - the quick brown fox jumps over the lazy dog 0123456789"
picture=(-size 1920x1080 gradient:'#1d3557-#457b9d')
for i in 0 1; do
  x=$((120 + i * 700)); y=$((140 + i * 260))
  picture+=(-fill '#f1faee' -draw "rectangle $x,$y $((x + 900)),$((y + 480))"
            -fill '#264653' -draw "rectangle $x,$y $((x + 900)),$((y + 30))"
            -fill '#1b1b1b' -pointsize 16)
  for line in $(seq 0 18); do
    picture+=(-annotate "+$((x + 16))+$((y + 60 + line * 22))" "$text ($line)")
  done
done
convert "${picture[@]}" "$state/screen.png"
display -window root "$state/screen.png" || true # sets the background, then exits 1

capture=$(realpath -m "$demo/capture.jpg")
rm -f "$capture"
"$binary" --capture desktop --output "$capture" --quality 90 >/dev/null \
  || { echo "the command-line capture failed" >&2; exit 1; }

"$binary" "$capture" >"$state/snaplorn.log" 2>&1 &
app_pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "Quorvex Snaplorn" | head -n 1)
[[ -n "$wid" ]] || { echo "the main window did not appear" >&2; cat "$state/snaplorn.log" >&2; exit 1; }
sleep 1.5 # let it maximise and paint
import -window "$wid" "$demo/window.png"
echo "Command-line capture: $capture"
echo "Main window screenshot: $(realpath "$demo/window.png")"
