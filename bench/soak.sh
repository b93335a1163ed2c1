#!/usr/bin/env bash
# The soak run on a private X display with a window manager: SERIES
# auto-capture series of 25 images at 0.2 s with an edit, undo and save
# between them (default 40 series, 1,000 images, about four minutes).
# Usage: bench/soak.sh BUILD_DIR [SERIES]
set -uo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR [SERIES]}" && pwd)
series=${2:-${SOAK_SERIES:-40}}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
probe="$build/bench/soak_probe"
[[ -x "$probe" ]] || { echo "soak: $probe is missing; build first" >&2; exit 1; }
command -v xrestop >/dev/null || echo "soak: xrestop is missing; X resources are not counted" >&2

work=$(mktemp -d /tmp/snaplorn-soak.XXXXXX)
trap '"$source_dir/scripts/xsession.sh" stop "$work/x" >/dev/null 2>&1; rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
export XDG_DATA_HOME="$work/home/data" XDG_RUNTIME_DIR="$work/runtime"
export SNAPLORN_BROADCAST_URL=http://127.0.0.1:9
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
"$source_dir/scripts/xsession.sh" start "$work/x" >/dev/null || exit 1
DISPLAY=$(cat "$work/x/display") "$probe" "$series"
