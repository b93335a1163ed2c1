#!/usr/bin/env bash
# A private headless Wayland session for system tests:
#   waysession.sh start STATE_DIR [WIDTHxHEIGHT]   sway, PipeWire, the portals
#   waysession.sh stop STATE_DIR                    stops all of them
#   waysession.sh frontend STATE_DIR [PORTAL_FILE...]
#       restarts the portals' frontend with the session's backends and the
#       given further ones (a test's own backend; none: the session's own)
# Everything runs as an unprivileged user (sway refuses root) on a private
# D-Bus session bus, inside a mount namespace of its own whose /tmp is
# STATE_DIR/tmp (with what /tmp held at the start bound back into it): the
# wlroots portal backend always writes its screenshot to /tmp/out.png, and
# sessions running side by side must not share that file.
# Clients join the namespace with `nsenter -t $(cat STATE_DIR/ns.pid) -m`
# (tests/system/with-wayland.sh); STATE_DIR/env holds the variables they need.
set -uo pipefail
cmd=${1:?start|stop}
state=${2:?state folder}
size=${3:-1920x1080}
user=65534
here=$(cd "$(dirname "$0")" && pwd)

stop_all() {
  for name in portal access wlr pipewire keyboard sway dbus ns; do
    if [[ -f "$state/$name.pid" ]]; then
      kill "$(cat "$state/$name.pid")" 2>/dev/null
      rm -f "$state/$name.pid"
    fi
  done
  sleep 0.2
  rm -f "$state/env"
  # The holding folder is empty again once the namespace has gone.
  if [[ -f "$state/hold" ]]; then
    rmdir "$(cat "$state/hold")" 2>/dev/null
    rm -f "$state/hold"
  fi
}

# Runs a command as the session's user, in the session's namespace.
exec_as() {
  exec nsenter -F -t "$(cat "$state/ns.pid")" -m -- \
    setpriv --reuid="$user" --regid="$user" --clear-groups --inh-caps=-all \
    env -i PATH=/usr/bin:/bin HOME="$state/home" XDG_RUNTIME_DIR="$state/runtime" \
    XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland \
    ${bus:+DBUS_SESSION_BUS_ADDRESS=$bus} ${wayland:+WAYLAND_DISPLAY=$wayland} "$@"
}

source "$here/session_lib.sh"

# The frontend looks at every caller's /proc entry, which an unprivileged
# user may not do for the tests' processes (root): it alone runs as root.
# Looked at only once it owns its name: a call before that would have the
# bus start another frontend that knows nothing of these backends.
start_frontend() {
  user=0 spawn portal env XDG_DESKTOP_PORTAL_DIR="$state/portals" /usr/libexec/xdg-desktop-portal -r
  wait_for 15 bus_has org.freedesktop.portal.Desktop || fail "the desktop portal did not start"
  wait_for 15 portal_offers org.freedesktop.portal.Screenshot || fail "the desktop portal offers no Screenshot interface"
}

case "$cmd" in
start)
  mkdir -p "$state"
  state=$(realpath "$state")
  stop_all
  rm -rf "$state/runtime" "$state/home" "$state/tmp" "$state/portals"
  mkdir -p "$state/runtime" "$state/home/.config/xdg-desktop-portal-wlr" "$state/tmp" "$state/portals"
  chmod 700 "$state/runtime"
  chmod 1777 "$state/tmp"
  printf '[screencast]\noutput_name=HEADLESS-1\nchooser_type=none\n' \
    > "$state/home/.config/xdg-desktop-portal-wlr/config"
  cat > "$state/sway.conf" <<CONF
output HEADLESS-1 resolution $size position 0,0 bg #000000 solid_color
default_border none
xwayland disable
seat seat0 hide_cursor 100
CONF
  cp /usr/share/xdg-desktop-portal/portals/wlr.portal "$state/portals/"
  printf '[portal]\nDBusName=org.freedesktop.impl.portal.desktop.snaplorntest\nInterfaces=org.freedesktop.impl.portal.Access;\nUseIn=sway\n' \
    > "$state/portals/snaplorntest.portal"
  chown -R $user:$user "$state/runtime" "$state/home"

  # Inside the namespace /tmp is the session's own folder. What /tmp held
  # when the session started (the build tree and the test's files may live
  # there) is bound back into it under the same names, through a holding
  # mount outside /tmp; only the portal's out.png stays the session's own.
  hold=$(mktemp -d /var/tmp/snaplorn-waysession.XXXXXX)
  echo "$hold" > "$state/hold"
  unshare -m --propagation private sh -c '
    hold=$1 newtmp=$2
    mount --bind /tmp "$hold" && mount --bind "$newtmp" /tmp || exit 1
    for entry in "$hold"/* "$hold"/.[!.]*; do
      [ -e "$entry" ] || [ -L "$entry" ] || continue
      name=${entry##*/}
      [ "$name" = out.png ] && continue
      if [ -d "$entry" ]; then mkdir -p "/tmp/$name"; else : > "/tmp/$name"; fi
      mount --bind "$entry" "/tmp/$name" 2>/dev/null
    done
    : > /tmp/.namespace-ready
    exec sleep infinity' sh "$hold" "$state/tmp" >/dev/null 2>&1 &
  echo $! > "$state/ns.pid"
  # Ready once everything is bound back: the last step marks the new /tmp.
  ns_ready() { [[ -e "$state/tmp/.namespace-ready" ]]; }
  wait_for 5 ns_ready || fail "the session's mount namespace did not come up"

  start_session_bus

  spawn sway env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
    sway -c "$state/sway.conf"
  sway_ready() { compgen -G "$state/runtime/wayland-[0-9]" >/dev/null && \
    compgen -G "$state/runtime/sway-ipc.*.sock" >/dev/null; }
  wait_for 10 sway_ready || fail "sway did not start"
  wayland=$(compgen -G "$state/runtime/wayland-[0-9]" | head -n 1)
  swaysock=$(compgen -G "$state/runtime/sway-ipc.*.sock" | head -n 1)
  # The headless seat has no keyboard until a virtual one joins. Each wtype
  # of the tests brings one and takes it away when it ends, and a program
  # that learns of it late receives the first key as already pressed, which
  # toolkits rightly ignore. A virtual keyboard held for the session's life
  # (wtype sleeping half an hour) gives the seat one from the start. A seat
  # command would drop it from the seat again: the seat's settings are in
  # the configuration (sway paints the pointer into every picture of the
  # screen, so it is hidden while it rests).
  spawn keyboard wtype -s 1800000
  seat_has_keyboard() { run_as swaymsg -s "$swaysock" -t get_seats 2>/dev/null | grep -q '"type": "keyboard"'; }
  wait_for 10 seat_has_keyboard || fail "the seat got no keyboard"

  # The wlroots backend of the portal ends at once without PipeWire.
  spawn pipewire pipewire
  wait_for 10 test -S "$state/runtime/pipewire-0" || fail "PipeWire did not start"
  spawn wlr /usr/libexec/xdg-desktop-portal-wlr
  spawn access /usr/bin/python3 "$here/../tests/system/portal_access.py"
  wait_for 10 bus_has org.freedesktop.impl.portal.desktop.wlr || fail "the wlroots portal backend did not start"
  wait_for 10 bus_has org.freedesktop.impl.portal.desktop.snaplorntest || fail "the Access backend did not start"
  : > "$state/portals.extra"
  start_frontend

  cat > "$state/env" <<ENV
export WAYLAND_DISPLAY=$wayland
export SWAYSOCK=$swaysock
export DBUS_SESSION_BUS_ADDRESS=$bus
export SNAPLORN_WAYLAND_NS=$(cat "$state/ns.pid")
export SNAPLORN_WAYLAND_USER=$user
ENV
  echo "Wayland session on $wayland"
  ;;
stop)
  stop_all
  ;;
frontend)
  state=$(realpath "$state")
  [[ -f "$state/portal.pid" ]] || { echo "no Wayland session in $state" >&2; exit 1; }
  shift 2
  bus=unix:path=$state/runtime/bus
  wayland=$(compgen -G "$state/runtime/wayland-[0-9]" | head -n 1)
  while read -r extra; do rm -f "$state/portals/$extra"; done < "$state/portals.extra"
  : > "$state/portals.extra"
  for file in "$@"; do
    cp "$file" "$state/portals/" && basename "$file" >> "$state/portals.extra"
  done
  kill "$(cat "$state/portal.pid")" 2>/dev/null
  frontend_gone() { ! bus_has org.freedesktop.portal.Desktop; }
  wait_for 10 frontend_gone || { echo "the desktop portal did not end" >&2; exit 1; }
  start_frontend
  ;;
*)
  echo "usage: $0 start|stop|frontend STATE_DIR" >&2; exit 2 ;;
esac
