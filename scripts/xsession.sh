#!/usr/bin/env bash
# A private X session for system tests and the headless demo:
#   xsession.sh start STATE_DIR [WIDTHxHEIGHTxDEPTH]   Xvfb + openbox + tray host
#   xsession.sh stop STATE_DIR                          stops all of them
# The display (":N") is written to STATE_DIR/display.
set -uo pipefail
cmd=${1:?start|stop}
state=${2:?state folder}
geometry=${3:-1920x1080x24}

stop_all() {
  for name in trayer openbox xvfb; do
    if [[ -f "$state/$name.pid" ]]; then
      kill "$(cat "$state/$name.pid")" 2>/dev/null
      rm -f "$state/$name.pid"
    fi
  done
  sleep 0.2
  rm -f "$state/display"
}

case "$cmd" in
start)
  mkdir -p "$state"
  stop_all
  exec 3> "$state/displayfd"
  # -noreset: without it the server resets whenever its last client leaves,
  # and a client connecting during that reset is turned away; the window
  # manager, started in the background, could lose that race against the
  # first look at the display below.
  Xvfb -displayfd 3 -screen 0 "$geometry" -nolisten tcp -ac -noreset +extension MIT-SHM \
       >"$state/xvfb.log" 2>&1 &
  echo $! > "$state/xvfb.pid"
  exec 3>&-
  for _ in $(seq 1 100); do
    [[ -s "$state/displayfd" ]] && break
    sleep 0.05
  done
  num=$(tr -d '[:space:]' < "$state/displayfd")
  if [[ -z "$num" ]]; then echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; fi
  export DISPLAY=":$num"
  echo "$DISPLAY" > "$state/display"
  mkdir -p "$state/home"
  # The tests need a working window manager: a session without one fails
  # here, loudly, rather than in every test that activates a window.
  wm_up=false
  for _ in 1 2 3; do
    HOME="$state/home" openbox --sm-disable >"$state/openbox.log" 2>&1 &
    echo $! > "$state/openbox.pid"
    for _ in $(seq 1 100); do
      if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        wm_up=true
        break 2
      fi
      kill -0 "$(cat "$state/openbox.pid")" 2>/dev/null || break
      sleep 0.05
    done
    echo "the window manager did not come up; starting it again:" >&2
    cat "$state/openbox.log" >&2
    kill "$(cat "$state/openbox.pid")" 2>/dev/null
  done
  if ! $wm_up; then
    echo "no window manager on $DISPLAY" >&2
    stop_all
    exit 1
  fi
  if command -v trayer >/dev/null; then
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
      >"$state/trayer.log" 2>&1 &
    echo $! > "$state/trayer.pid"
    sleep 0.3
  fi
  echo "X session on $DISPLAY"
  ;;
stop)
  stop_all
  ;;
*)
  echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
