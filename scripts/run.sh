#!/usr/bin/env bash
# `make run`: starts Snaplorn on the current display. Without a display it
# runs a short demo on a private X display instead: starts Snaplorn there,
# saves a screenshot of its main window as BUILD_DIR/demo/window.png, prints
# the path and stops everything it started.
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

"$binary" >"$state/snaplorn.log" 2>&1 &
app_pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --name "Quorvex Snaplorn" | head -n 1)
[[ -n "$wid" ]] || { echo "the main window did not appear" >&2; cat "$state/snaplorn.log" >&2; exit 1; }
sleep 1.5 # let it maximise and paint
import -window "$wid" "$demo/window.png"
echo "Main window screenshot: $(realpath "$demo/window.png")"
