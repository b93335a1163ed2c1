#!/usr/bin/env bash
# What an assistive tool sees through the accessibility bus (AT-SPI): no
# control of the running program that can take the focus is without a
# name, and the Options dialog is opened, gone through in the order of its
# layout and confirmed with the keys alone.
source "$(dirname "$0")/lib.sh"
check="$(dirname "$0")/atspi_check.py"
export SNAPLORN_BROADCAST_URL=http://127.0.0.1:9 # nothing listens: no broadcast
write_settings "JpgQuality=80"

# A session bus of the test's own; the accessibility bus starts on it.
mapfile -t bus < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
bus_address=${bus[0]:-} bus_pid=${bus[1]:-}
[[ -n "$bus_pid" ]] || fail "no session bus"
STARTED_PIDS+=("$bus_pid")
export DBUS_SESSION_BUS_ADDRESS=$bus_address QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export NO_AT_BRIDGE=0

start_snaplorn
wid=$(wait_window "Quorvex Snaplorn")
focused() { /usr/bin/python3 "$check" focused Snaplorn21; }
poll 20 focused || fail "the program is not on the accessibility bus"
unnamed=$(/usr/bin/python3 "$check" unnamed Snaplorn21) || fail "controls without a name: $unnamed"

# Alt+T, O opens Options; Tab goes through its fields in layout order, and
# the quality typed into its field is stored by Enter.
xdotool windowactivate --sync "$wid" key --delay 150 alt+t o
wait_window "^Options - " >/dev/null
has_focus() { focused | grep -q "^$1"; }
poll 10 has_focus "check box: Run Application" || fail "the dialog's first field has no focus: $(focused)"
unnamed=$(/usr/bin/python3 "$check" unnamed Snaplorn21) || fail "Options fields without a name: $unnamed"
order=("check box: Run Application" "text: Enter Folder Name" "push button: Choose folder"
       "text: Auto Capture interval" "text: No of Images" "text: Save As  JPG Quality")
for i in "${!order[@]}"; do
  (( i == 0 )) || xdotool key Tab
  poll 5 has_focus "${order[$i]}" || fail "step $i of the focus order: '$(focused)', not '${order[$i]}'"
done
xdotool key --delay 100 ctrl+a 5 5 Return
conf="$XDG_CONFIG_HOME/Quorvex/Snaplorn21.conf"
poll 10 grep -qx 'JpgQuality=55' "$conf" || fail "Enter did not store the quality: $(cat "$conf")"
