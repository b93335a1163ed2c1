# Helpers for the system tests in the private sway session (sourced after
# lib.sh): each test works in the folder `out`, which swaybg can read.
write_settings
out="$SNAPLORN_TESTHOME/$(basename "$0" .sh)"
rm -rf "$out" && mkdir -p "$out" && chmod 755 "$out"
# New windows open on the focused output: the first one, whatever the
# tests before left focused.
swaymsg -q focus output HEADLESS-1 || fail "focusing HEADLESS-1"

picture() { # SIZE GRADIENT FILE: a gradient with a yellow box, 8 bits a channel
  convert -size "$1" "gradient:$2" -fill yellow -draw 'rectangle 10,10 200,120' -depth 8 "PNG24:$3"
}
same() { [[ "$(compare -metric AE "$1" "$2" null: 2>&1)" == "0" ]]; }
part() { convert "$1" -crop "$2" +repage "PNG24:$3"; }
# alike A B [MIN-PSNR]: the same pixels, or with MIN-PSNR a PSNR above it
alike() {
  [[ -z "${3:-}" ]] && { same "$1" "$2"; return; }
  local psnr
  psnr=$(compare -metric PSNR "$1" "$2" null: 2>&1 || true)
  awk -v p="$psnr" -v m="$3" 'BEGIN { exit !(p == "inf" || p > m) }'
}
# show OUTPUT FILE: the output's wallpaper, awaited until sway shows it
show() {
  swaymsg -q output "$1" bg "$2" stretch || fail "swaymsg bg $1"
  for _ in $(seq 1 100); do
    grim -o "$1" "$out/shown.png" 2>/dev/null && same "$out/shown.png" "$2" && return 0
    sleep 0.05
  done
  fail "sway does not show $2 on $1"
}
# second_output MODE X Y: HEADLESS-2 (made once per session: sway cannot
# remove a headless output) with that mode and position, unturned, scale 1
second_output() {
  swaymsg -t get_outputs | grep -q '"HEADLESS-2"' || swaymsg -q create_output || fail "create_output"
  swaymsg -q output HEADLESS-2 mode "$1" pos "$2" "$3" transform normal scale 1 \
    || fail "placing HEADLESS-2"
}
# windows_of APP_ID: one line per window of that program, "FULLSCREEN
# FOCUSED NAME" (each 1 or 0), as sway's tree lists them
windows_of() {
  swaymsg -t get_tree | /usr/bin/python3 -c '
import json, sys
def walk(node):
    if node.get("app_id") == sys.argv[1]:
        print(node.get("fullscreen_mode", 0), int(node.get("focused", False)), node.get("name"))
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)
walk(json.load(sys.stdin))' "$1"
}
