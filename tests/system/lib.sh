# Helpers for the shell system tests (sourced).
set -euo pipefail

: "${SNAPLORN_BINARY:?}" "${SNAPLORN_TESTHOME:?}"
mkdir -p "$SNAPLORN_TESTHOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
export SNAPLORN_MESSAGE_LOG="$SNAPLORN_TESTHOME/messages.log"
: > "$SNAPLORN_MESSAGE_LOG"
STARTED_PIDS=()

fail() { echo "FAIL: $*" >&2; exit 1; }

cleanup_started() {
  for pid in "${STARTED_PIDS[@]:-}"; do
    [[ -n "$pid" ]] && kill "$pid" 2>/dev/null || true
  done
  wait 2>/dev/null || true
}
trap cleanup_started EXIT

# Settings the tests start from: no global hot keys, so test programs never
# compete for them.
write_settings() {
  mkdir -p "$XDG_CONFIG_HOME/Quorvex"
  printf '[Software\\Quorvex\\Snaplorn21]\nHotKeyPresent=0\n%s\n' "${1:-}" \
    > "$XDG_CONFIG_HOME/Quorvex/Snaplorn21.conf"
}

# start_snaplorn ARGS... : starts the program, sets LAST_PID
start_snaplorn() {
  "$SNAPLORN_BINARY" "$@" >>"$SNAPLORN_TESTHOME/snaplorn.out" 2>&1 &
  LAST_PID=$!
  STARTED_PIDS+=("$LAST_PID")
}

# keeper: the pids of the capture keepers of this test (its display and its
# runtime folder); fails when there is none
keeper() {
  local pid found=1
  for pid in $(pgrep -f -x -- "snaplorn --keep-capture $DISPLAY" || true); do
    if tr '\0' '\n' < "/proc/$pid/environ" 2>/dev/null | grep -qxF "XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR"; then
      echo "$pid"
      found=0
    fi
  done
  return "$found"
}
no_keeper() { ! keeper >/dev/null; }

# wait_window NAME-PATTERN : prints the id of the first visible matching window
# (a plain loop: xdotool's own --sync gives up when a window vanishes mid-search)
wait_window() {
  local id="" end=$((SECONDS + 20))
  while (( SECONDS < end )); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1) || true
    if [[ -n "$id" ]]; then echo "$id"; return 0; fi
    sleep 0.1
  done
  fail "no window named '$1' appeared"
}

# poll SECONDS COMMAND... : retries until the command succeeds
poll() {
  local limit=$1; shift
  local end=$((SECONDS + limit))
  until "$@" >/dev/null 2>&1; do
    (( SECONDS < end )) || return 1
    sleep 0.1
  done
}

message_logged() { grep -qxF "$1" "$SNAPLORN_MESSAGE_LOG"; }
