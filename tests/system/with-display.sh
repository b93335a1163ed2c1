#!/usr/bin/env bash
# Runs a system test on the private X display of the xdisplay fixture.
set -euo pipefail
state=${SNAPLORN_XSTATE:?SNAPLORN_XSTATE not set}
if [[ ! -s "$state/display" ]]; then
  echo "no private X display is running (xdisplay fixture)" >&2
  exit 1
fi
DISPLAY=$(cat "$state/display")
export DISPLAY
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
mkdir -p "${XDG_RUNTIME_DIR:?}" && chmod 700 "$XDG_RUNTIME_DIR"
exec "$@"
