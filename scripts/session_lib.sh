# Helpers of the private desktop sessions of the system tests (sourced by
# waysession.sh and kwinsession.sh). The caller sets `state` (the session's
# folder) and defines stop_all and exec_as (how a command runs as the
# session's user).

fail() {
  echo "$1" >&2
  for log in "$state"/*.log; do
    [[ -s "$log" ]] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
  done
  stop_all
  exit 1
}

run_as() { (exec_as "$@"); }

# Starts a background process NAME of the session, its pid in NAME.pid.
spawn() {
  local name=$1; shift
  exec_as "$@" >"$state/$name.log" 2>&1 &
  echo $! > "$state/$name.pid"
}

wait_for() { # seconds, then a command that succeeds when ready
  local tries=$(( $1 * 20 )); shift
  for _ in $(seq 1 $tries); do "$@" && return 0; sleep 0.05; done
  return 1
}

bus_has() {
  run_as dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q 'boolean true'
}

# portal_offers INTERFACE: the portal frontend exports it
portal_offers() {
  run_as dbus-send --session --print-reply --dest=org.freedesktop.portal.Desktop \
    /org/freedesktop/portal/desktop org.freedesktop.DBus.Introspectable.Introspect 2>/dev/null |
    grep -q "$1"
}

# The session bus of the session's user, at $state/runtime/bus (sets `bus`);
# root, which runs the tests, may connect as well.
start_session_bus() {
  bus=unix:path=$state/runtime/bus
  cat > "$state/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>$bus</listen>
  <auth>EXTERNAL</auth>
  <standard_session_servicedirs/>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
    <allow user="root"/>
  </policy>
</busconfig>
CONF
  spawn dbus dbus-daemon --config-file="$state/bus.conf" --nofork --nopidfile
  wait_for 5 test -S "$state/runtime/bus" || fail "the session bus did not start"
}
