#!/usr/bin/env bash
# Runs a system test in the private Wayland session of the wayland fixture
# (in its mount namespace, with its display and session bus).
set -euo pipefail
state=${SNAPLORN_WAYSTATE:?SNAPLORN_WAYSTATE not set}
if [[ ! -s "$state/env" ]]; then
  echo "no private Wayland session is running (wayland fixture)" >&2
  exit 1
fi
source "$state/env"
unset DISPLAY QT_QPA_PLATFORM
mkdir -p "${XDG_RUNTIME_DIR:?}" && chmod 700 "$XDG_RUNTIME_DIR"
exec nsenter -t "$SNAPLORN_WAYLAND_NS" -m -- "$@"
