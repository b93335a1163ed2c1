#!/usr/bin/env bash
# A private X session with two monitors of different sizes, for the tests of
# captures that span monitors:
#   xmonitors.sh start STATE_DIR   Xorg (dummy video driver) + openbox
#   xmonitors.sh stop STATE_DIR    stops both
# The display (":N") is written to STATE_DIR/display, as xsession.sh does.
#
# Layout (device pixels), one RandR monitor each, so Qt sees two screens:
#   DUMMY1  1280x1024 at (0, 0)       338 x 270 mm (about 96 dpi)
#   DUMMY0  1920x1080 at (1280, 300)  406 x 228 mm (about 120 dpi), primary
# The root window is 3200x1380; the parts of it outside both monitors (below
# the left one, above the right one) belong to no monitor.
set -uo pipefail
cmd=${1:?start|stop}
state=${2:?state folder}

stop_all() {
  for name in openbox xorg; do
    if [[ -f "$state/$name.pid" ]]; then
      kill "$(cat "$state/$name.pid")" 2>/dev/null
      rm -f "$state/$name.pid"
    fi
  done
  sleep 0.2
  rm -f "$state/display"
}

# The dummy driver has sixteen outputs; a Monitor section per output gives
# it a mode and a place, and "Enable" switches on one that is not the first.
write_config() {
  cat > "$state/xorg.conf" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "card"
  Driver "dummy"
  VideoRam 65536
  Option "monitor-DUMMY0" "right"
  Option "monitor-DUMMY1" "left"
EndSection
Section "Monitor"
  Identifier "right"
  HorizSync 5-1000
  VertRefresh 5-200
  Modeline "1920x1080" 148.5 1920 2008 2052 2200 1080 1084 1089 1125 +hsync +vsync
  Option "PreferredMode" "1920x1080"
  Option "Primary" "true"
  Option "Position" "1280 300"
EndSection
Section "Monitor"
  Identifier "left"
  HorizSync 5-1000
  VertRefresh 5-200
  Modeline "1280x1024" 108 1280 1328 1440 1688 1024 1025 1028 1066 +hsync +vsync
  Option "PreferredMode" "1280x1024"
  Option "Enable" "true"
  Option "Position" "0 0"
EndSection
Section "Screen"
  Identifier "screen"
  Device "card"
  Monitor "right"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 3200 1380
  EndSubSection
EndSection
EOF
}

start_server() {
  mkdir -p "$state/xorg.conf.d"
  write_config
  # The server itself, not the wrapper: where the wrapper is set up it lets
  # only the user at the console start a server. The dummy driver needs no
  # console and no privileges.
  local server=/usr/lib/xorg/Xorg
  [[ -x $server ]] || server=Xorg
  exec 3> "$state/displayfd"
  # -configdir: an empty folder in place of /etc/X11/xorg.conf.d, so that the
  # settings of this machine's own X server stay out of the private one (the
  # server logs that it found nothing there). The input drivers' files in
  # /usr/share are read but idle: no input device is added.
  "$server" -displayfd 3 -config "$state/xorg.conf" -configdir "$state/xorg.conf.d" \
       -logfile "$state/xorg.log" -noreset -nolisten tcp -ac -novtswitch \
       >"$state/xorg.out" 2>&1 &
  echo $! > "$state/xorg.pid"
  exec 3>&-
  for _ in $(seq 1 200); do
    [[ -s "$state/displayfd" ]] && break
    kill -0 "$(cat "$state/xorg.pid")" 2>/dev/null || break
    sleep 0.05
  done
  num=$(tr -d '[:space:]' < "$state/displayfd")
  if [[ -z "$num" ]]; then
    echo "Xorg with the dummy driver did not start:" >&2
    tail -n 30 "$state/xorg.log" "$state/xorg.out" >&2
    stop_all
    exit 1
  fi
  export DISPLAY=":$num"
  # The outputs report no physical size until one is set.
  xrandr --output DUMMY0 --set WIDTH_MM 406 --set HEIGHT_MM 228 \
         --output DUMMY1 --set WIDTH_MM 338 --set HEIGHT_MM 270
  if [[ $(xrandr --listmonitors | head -n 1) != "Monitors: 2" ]]; then
    echo "the private X server does not show two monitors:" >&2
    xrandr --listmonitors >&2
    stop_all
    exit 1
  fi
  echo "$DISPLAY" > "$state/display"
}

start_wm() {
  mkdir -p "$state/home"
  for _ in 1 2 3; do
    HOME="$state/home" openbox --sm-disable >"$state/openbox.log" 2>&1 &
    echo $! > "$state/openbox.pid"
    for _ in $(seq 1 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
      kill -0 "$(cat "$state/openbox.pid")" 2>/dev/null || break
      sleep 0.05
    done
    kill "$(cat "$state/openbox.pid")" 2>/dev/null
  done
  echo "no window manager on $DISPLAY:" >&2
  cat "$state/openbox.log" >&2
  return 1
}

case "$cmd" in
start)
  mkdir -p "$state"
  stop_all
  start_server
  start_wm || { stop_all; exit 1; }
  echo "X session with two monitors on $DISPLAY"
  ;;
stop)
  stop_all
  ;;
*)
  echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
