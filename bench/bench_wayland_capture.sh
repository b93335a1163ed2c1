#!/usr/bin/env bash
# Capture speed on a Wayland desktop beside grim, measured in one run on the
# same private headless sway screen (1920x1080 and 3840x2160) showing a
# screen-like picture: the whole process "snaplorn --capture desktop
# --output f.jpg --quality 80" (screencopy) against "grim -t jpeg -q 80
# f.jpg" (where grim is built without JPEG, as Debian's is: grim's PPM
# through cjpeg at quality 80) and "grim f.png" (medians), with the target of
# being faster than grim to JPEG at both sizes; beside them the whole process of a capture
# through the Screenshot portal (tests' wayland_grab, to a BMP file).
# Usage: bench_wayland_capture.sh BUILD_DIR [RUNS]   (RUNS default 15, at least 10)
set -uo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
runs=${2:-${BENCH_RUNS:-15}}
(( runs < 10 )) && runs=10
source_dir=$(cd "$(dirname "$0")/.." && pwd)
binary="$build/snaplorn"
portal_probe="$build/tests/wayland_grab"
for f in "$binary" "$portal_probe"; do
  [[ -x "$f" ]] || { echo "bench_wayland_capture: $f is missing; build first" >&2; exit 1; }
done
"$source_dir/scripts/install-deps.sh" test >&2 || echo "bench_wayland_capture: some packages could not be installed" >&2

# Not in /tmp: the session's namespace has a /tmp of its own.
work=$(mktemp -d /var/tmp/snaplorn-wlbench.XXXXXX)
chmod 755 "$work" # the compositor's user reads the wallpaper from here
session=""
cleanup() {
  [[ -n "$session" ]] && "$source_dir/scripts/waysession.sh" stop "$session" >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
export XDG_DATA_HOME="$work/home/data" XDG_RUNTIME_DIR="$work/runtime"
unset DISPLAY QT_QPA_PLATFORM
mkdir -p "$XDG_CONFIG_HOME/Quorvex" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Software\\Quorvex\\Snaplorn21]\nHotKeyPresent=0\nAutoFolder=%s\n' "$work" \
  > "$XDG_CONFIG_HOME/Quorvex/Snaplorn21.conf"

# A screen-like picture: a desktop gradient, a photo and a window of text.
make_screen() {
  local w=$1 h=$2 out=$3 s=$(( $1 / 1920 )) line
  local args=(-size "${w}x${h}" gradient:'#1d3557-#457b9d')
  args+=( \( -size "$((600*s))x$((400*s))" -seed 7 plasma:fractal \) -geometry "+$((1200*s))+$((80*s))" -composite )
  args+=( -fill '#f1faee' -draw "rectangle $((60*s)),$((120*s)) $((960*s)),$((680*s))" )
  args+=( -fill '#1b1b1b' -font DejaVu-Sans -pointsize $((13 * s)) )
  for line in $(seq 0 24); do
    args+=( -annotate "+$((72*s))+$(( (150 + line * 20) * s ))" "The quick brown fox jumps over the lazy dog 0123456789 $line" )
  done
  convert "${args[@]}" -depth 8 "PNG24:$out"
}

source "$source_dir/bench/timing.sh"

tools=(snaplorn grim-jpeg grim-png portal)
# Debian's grim is built without JPEG: then grim's PPM through cjpeg.
grim_jpeg=true
declare -A result
measure_tool() {
  local tool=$1 size=$2 cmd f
  case "$tool" in
    snaplorn) f="$work/s.jpg"; cmd=("$binary" --capture desktop --output "$f" --quality 80) ;;
    grim-jpeg) f="$work/g.jpg"
      if $grim_jpeg; then cmd=(grim -t jpeg -q 80 "$f")
      else cmd=(sh -c 'grim -t ppm - | cjpeg -quality 80 > "$0"' "$f"); fi ;;
    grim-png) f="$work/g.png"; cmd=(grim "$f") ;;
    # The portal writes its file into the session's /tmp: run in its namespace.
    portal) f="$work/p.bmp"; cmd=(nsenter -t "$SNAPLORN_WAYLAND_NS" -m -- "$portal_probe" portal "$f") ;;
  esac
  local ms
  if ms=$(median_ms "$runs" "$f" "${cmd[@]}"); then result[$tool,$size]=$ms; else result[$tool,$size]="failed"; fi
}

for size in 1920x1080 3840x2160; do
  session="$work/way-$size"
  "$source_dir/scripts/waysession.sh" start "$session" "$size" >/dev/null || { echo "no sway session" >&2; exit 1; }
  ( source "$session/env"
    make_screen "${size%x*}" "${size#*x}" "$work/screen.png"
    swaymsg -q output HEADLESS-1 bg "$work/screen.png" stretch
    for _ in $(seq 1 100); do
      grim "$work/shown.png" 2>/dev/null &&
        [[ "$(compare -metric AE "$work/shown.png" "$work/screen.png" null: 2>&1)" == 0 ]] && break
      sleep 0.05
    done
    grim -t jpeg "$work/probe.jpg" >/dev/null 2>&1 || grim_jpeg=false
    echo "grim_jpeg=$grim_jpeg"
    for tool in "${tools[@]}"; do measure_tool "$tool" "$size"; echo "$tool,$size=${result[$tool,$size]}"; done
  ) > "$work/results-$size"
  while IFS== read -r key value; do
    if [[ "$key" == grim_jpeg ]]; then grim_jpeg=$value; else result[$key]=$value; fi
  done < "$work/results-$size"
  "$source_dir/scripts/waysession.sh" stop "$session" >/dev/null
  session=""
done

echo "Wayland (headless sway), whole process, median of $runs runs (ms):"
printf '  %-36s %12s %12s\n' "" 1920x1080 3840x2160
label() { case "$1" in
  snaplorn) echo "snaplorn --capture (JPEG q80)" ;;
  grim-jpeg) if $grim_jpeg; then echo "grim -t jpeg -q 80"; else echo "grim -t ppm | cjpeg -quality 80"; fi ;;
  grim-png) echo "grim (PNG)" ;; portal) echo "Screenshot portal (to BMP)" ;; esac; }
for tool in "${tools[@]}"; do
  printf '  %-36s %12s %12s\n' "$(label "$tool")" "${result[$tool,1920x1080]}" "${result[$tool,3840x2160]}"
done
for size in 1920x1080 3840x2160; do
  ours=${result[snaplorn,$size]} grim=${result[grim-jpeg,$size]}
  if [[ "$ours" =~ ^[0-9]+$ && "$grim" =~ ^[0-9]+$ ]] && (( ours > 0 && grim > 0 )); then
    awk -v a="$ours" -v b="$grim" -v s="$size" 'BEGIN { printf "  %s: snaplorn %d ms, grim to JPEG %d ms, %.2f of its time (target: faster): %s\n", s, a, b, a/b, a < b ? "PASS" : "MISS" }'
  else
    echo "  $size: not measured"
  fi
done
