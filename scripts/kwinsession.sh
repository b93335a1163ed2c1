#!/usr/bin/env bash
# A private headless KWin session (KDE Plasma) for system tests:
#   kwinsession.sh start STATE_DIR [WIDTHxHEIGHT]   KWin, the KDE portal backend, the portals
#   kwinsession.sh stop STATE_DIR                    stops all of them
# Everything but the portals' frontend runs as an unprivileged user on a
# private D-Bus session bus; STATE_DIR/env holds what clients need.
set -uo pipefail
cmd=${1:?start|stop}
state=${2:?state folder}
size=${3:-1920x1080}
user=65534

stop_all() {
  for name in portal kde kwin dbus; do
    if [[ -f "$state/$name.pid" ]]; then
      kill "$(cat "$state/$name.pid")" 2>/dev/null
      rm -f "$state/$name.pid"
    fi
  done
  sleep 0.2
  rm -f "$state/env"
}

exec_as() {
  exec setpriv --reuid="$user" --regid="$user" --clear-groups --inh-caps=-all \
    env -i PATH=/usr/bin:/bin HOME="$state/home" XDG_RUNTIME_DIR="$state/runtime" \
    XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 XDG_SESSION_TYPE=wayland \
    ${bus:+DBUS_SESSION_BUS_ADDRESS=$bus} ${wayland:+WAYLAND_DISPLAY=$wayland} "$@"
}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/session_lib.sh"

case "$cmd" in
start)
  mkdir -p "$state"
  state=$(realpath "$state")
  stop_all
  rm -rf "$state/runtime" "$state/home" "$state/portals" "$state/bin"
  # The KDE portal writes its screenshots into the user's Pictures folder.
  mkdir -p "$state/runtime" "$state/home/Pictures" "$state/portals" "$state/bin"
  chmod 700 "$state/runtime"
  chown -R $user:$user "$state/runtime" "$state/home"
  # kwin_wayland carries a file capability that a container may not be able
  # to grant (exec then fails even for root): a copy without it runs.
  cp /usr/bin/kwin_wayland "$state/bin/kwin_wayland"
  cp /usr/share/xdg-desktop-portal/portals/kde.portal "$state/portals/"

  start_session_bus

  # Software rendering; no permission checks, so that the tests' own
  # clients may use the fake input and the screenshot interfaces.
  spawn kwin env LIBGL_ALWAYS_SOFTWARE=1 KWIN_COMPOSE=O2 KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
    KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
    QT_LOGGING_RULES="kwin_scripting.debug=true" \
    "$state/bin/kwin_wayland" --virtual --width "${size%x*}" --height "${size#*x}" \
    --no-lockscreen -s wayland-kde
  wait_for 20 test -S "$state/runtime/wayland-kde" || fail "KWin did not start"
  wayland=wayland-kde
  wait_for 20 bus_has org.kde.KWin || fail "KWin is not on the session bus"

  spawn kde env QT_QPA_PLATFORM=wayland "$(dpkg -L xdg-desktop-portal-kde | grep -m1 "/libexec/xdg-desktop-portal-kde$")"
  wait_for 20 bus_has org.freedesktop.impl.portal.desktop.kde || fail "the KDE portal backend did not start"
  # The frontend looks at every caller's /proc entry: it runs as root.
  user=0 spawn portal env XDG_DESKTOP_PORTAL_DIR="$state/portals" /usr/libexec/xdg-desktop-portal -r
  wait_for 15 bus_has org.freedesktop.portal.Desktop || fail "the desktop portal did not start"
  wait_for 15 portal_offers org.freedesktop.portal.GlobalShortcuts || fail "the desktop portal offers no GlobalShortcuts interface"

  cat > "$state/env" <<ENV
export WAYLAND_DISPLAY=$state/runtime/wayland-kde
export DBUS_SESSION_BUS_ADDRESS=$bus
export XDG_CURRENT_DESKTOP=KDE
export KDE_FULL_SESSION=true
export KDE_SESSION_VERSION=5
export XDG_SESSION_TYPE=wayland
export SNAPLORN_KWIN_HOME=$state/home
ENV
  echo "KWin session on $state/runtime/wayland-kde"
  ;;
stop)
  stop_all
  ;;
*)
  echo "usage: $0 start|stop STATE_DIR" >&2; exit 2 ;;
esac
