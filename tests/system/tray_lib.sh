# Helpers for the tray icon of the program under test (sourced after lib.sh).

# The icon's window: a small window of the program named after the
# application (its menu has the same name but is larger).
tray_icon() {
  local w
  for w in $(xdotool search --classname '^snaplorn$' 2>/dev/null); do
    [[ "$(xdotool getwindowname "$w" 2>/dev/null)" == "Snaplorn21" ]] || continue
    local WIDTH=0 HEIGHT=0 X=0 Y=0 SCREEN=0 WINDOW=0
    eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
    if (( WIDTH > 1 && WIDTH <= 64 && HEIGHT > 1 && HEIGHT <= 64 )); then
      echo "$w"
      return 0
    fi
  done
  return 1
}

wait_tray_icon() {
  local end=$((SECONDS + 10)) id
  until id=$(tray_icon); do
    (( SECONDS < end )) || return 1
    sleep 0.1
  done
  echo "$id"
}

# The tray menu while it is open.
tray_menu() {
  local w
  for w in $(xdotool search --onlyvisible --classname '^snaplorn$' 2>/dev/null); do
    [[ "$(xdotool getwindowname "$w" 2>/dev/null)" == "Snaplorn21" ]] || continue
    local WIDTH=0 HEIGHT=0 X=0 Y=0 SCREEN=0 WINDOW=0
    eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null)"
    (( WIDTH > 64 )) && { echo "$w"; return 0; }
  done
  return 1
}

# click_icon ID CLICK-ARGS... : clicks at the centre of the icon
click_icon() {
  local id=$1; shift
  local WIDTH=0 HEIGHT=0 X=0 Y=0 SCREEN=0 WINDOW=0
  eval "$(xdotool getwindowgeometry --shell "$id")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) sleep 0.1 click "$@"
}

# Opens the icon's menu with the right button and chooses E&xit by its key.
tray_menu_exit() {
  click_icon "$1" 3
  poll 15 tray_menu || fail "the tray menu did not open"
  sleep 0.2
  xdotool key x
}

window_shown() { xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"; }
window_hidden() { xwininfo -id "$1" 2>/dev/null | grep -q "IsUnMapped"; }
