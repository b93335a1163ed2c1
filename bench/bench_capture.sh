#!/usr/bin/env bash
# Capture speed beside the peers, measured in one run on the same private
# Xvfb screens (1920x1080 and 3840x2160, depth 24) showing a screen-like
# picture: the whole process "snaplorn --capture desktop --output f.jpg
# --quality 80" against scrot, maim, ImageMagick import and flameshot
# (medians), with the target of at most 0.55 of scrot's time at both sizes,
# and snaplorn again with every run on its own (no keeper process);
# the in-process grab through shared memory and without it, beside a bare
# xcb_shm_get_image; and an auto-capture series at 0.2 s on each screen,
# which must keep every tick.
# Usage: bench_capture.sh BUILD_DIR [RUNS]      (RUNS default 15, at least 10)
set -uo pipefail
build=$(cd "${1:?usage: $0 BUILD_DIR [RUNS]}" && pwd)
runs=${2:-${BENCH_RUNS:-15}}
(( runs < 10 )) && runs=10
source_dir=$(cd "$(dirname "$0")/.." && pwd)
binary="$build/snaplorn"
grab_probe="$build/bench/capture_grab_probe"
auto_probe="$build/bench/capture_autocapture_probe"
for f in "$binary" "$grab_probe" "$auto_probe"; do
  [[ -x "$f" ]] || { echo "bench_capture: $f is missing; build first" >&2; exit 1; }
done
"$source_dir/scripts/install-deps.sh" bench >&2 || echo "bench_capture: some peers could not be installed" >&2

work=$(mktemp -d /tmp/snaplorn-bench.XXXXXX)
sessions=()
cleanup() {
  for s in "${sessions[@]:-}"; do [[ -n "$s" ]] && "$source_dir/scripts/xsession.sh" stop "$s" >/dev/null 2>&1; done
  rm -rf "$work"
}
trap cleanup EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_CACHE_HOME="$work/home/cache"
export XDG_DATA_HOME="$work/home/data" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
mkdir -p "$XDG_CONFIG_HOME/Quorvex" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Software\\Quorvex\\Snaplorn21]\nHotKeyPresent=0\nAutoFolder=%s\n' "$work" \
  > "$XDG_CONFIG_HOME/Quorvex/Snaplorn21.conf"

# A screen-like picture: a desktop gradient, a photo, and windows with
# title bars and lines of text, scaled to the screen's size.
make_screen() {
  local w=$1 h=$2 out=$3 s
  s=$(( w / 1920 ))
  local text="The quick brown fox jumps over the lazy dog 0123456789 - settings, files, mail"
  local args=(-size "${w}x${h}" gradient:'#1d3557-#457b9d')
  args+=( \( -size "$((600*s))x$((400*s))" -seed 7 plasma:fractal \) -geometry "+$((1200*s))+$((80*s))" -composite )
  local wx wy ww wh i
  for i in 0 1 2; do
    wx=$(( (60 + i * 380) * s )); wy=$(( (120 + i * 150) * s )); ww=$(( 900 * s )); wh=$(( 560 * s ))
    args+=( -fill '#f1faee' -draw "rectangle $wx,$wy $((wx+ww)),$((wy+wh))" )
    args+=( -fill '#264653' -draw "rectangle $wx,$wy $((wx+ww)),$((wy+28*s))" )
    args+=( -fill '#1b1b1b' -font DejaVu-Sans -pointsize $((13 * s)) )
    local line
    for line in $(seq 0 24); do
      args+=( -annotate "+$((wx + 12*s))+$((wy + (50 + line * 20) * s))" "$text $line" )
    done
  done
  convert "${args[@]}" "$out"
}

source "$source_dir/bench/timing.sh"

tools=(snaplorn snaplorn-alone scrot maim import flameshot)
declare -A result
measure_tool() {
  local tool=$1 size=$2 f="$work/shot-$tool.jpg"
  local cmd
  case "$tool" in
    snaplorn) cmd=("$binary" --capture desktop --output "$f" --quality 80) ;;
    # Every run on its own, without the keeper process of earlier runs
    snaplorn-alone) cmd=(env SNAPLORN_KEEPER_IDLE=0 "$binary" --capture desktop --output "$f" --quality 80) ;;
    scrot) cmd=(scrot -o -q 80 "$f") ;;
    maim) cmd=(maim -f jpg -m 8 "$f") ;;
    import) cmd=(import -window root -quality 80 "$f") ;;
    flameshot) cmd=(flameshot full -p "$f") ;;
  esac
  if ! command -v "${cmd[0]}" >/dev/null; then result[$tool,$size]="n/a"; return; fi
  local ms
  if ms=$(median_ms "$runs" "$f" "${cmd[@]}"); then result[$tool,$size]=$ms; else result[$tool,$size]="failed"; fi
}

grab_line=""
auto_lines=()
for size in 1920x1080 3840x2160; do
  state="$work/x-$size"
  sessions+=("$state")
  "$source_dir/scripts/xsession.sh" start "$state" "${size}x24" >/dev/null || { echo "no Xvfb" >&2; exit 1; }
  export DISPLAY=$(cat "$state/display")
  make_screen "${size%x*}" "${size#*x}" "$work/screen-$size.png"
  display -window root "$work/screen-$size.png" || true # sets the background, then exits 1
  for tool in "${tools[@]}"; do measure_tool "$tool" "$size"; done
  [[ "$size" == 3840x2160 ]] && grab_line=$("$grab_probe" 50 2>/dev/null)
  auto_lines+=("$("$auto_probe" 25 2>/dev/null || true)")
  "$source_dir/scripts/xsession.sh" stop "$state" >/dev/null
done

echo "Whole process, capture to JPEG at quality 80, median of $runs runs (ms):"
printf '  %-15s %12s %12s\n' tool 1920x1080 3840x2160
for tool in "${tools[@]}"; do
  printf '  %-15s %12s %12s\n' "$tool" "${result[$tool,1920x1080]}" "${result[$tool,3840x2160]}"
done
for size in 1920x1080 3840x2160; do
  ours=${result[snaplorn,$size]}
  [[ "$ours" =~ ^[0-9]+$ ]] || continue
  best=""; best_tool=""
  for tool in scrot maim import flameshot; do
    v=${result[$tool,$size]}
    [[ "$v" =~ ^[0-9]+$ ]] && (( v > 0 )) || continue
    if [[ -z "$best" || "$v" -lt "$best" ]]; then best=$v; best_tool=$tool; fi
  done
  [[ -n "$best" ]] || continue
  verdict="faster than every peer measured"
  (( ours >= best )) && verdict="NOT faster than $best_tool"
  scrot=${result[scrot,$size]}
  half=""
  # A figure of zero is no measurement: no ratio, no verdict.
  (( ours > 0 )) || { echo "  $size: snaplorn was not measured"; continue; }
  [[ "$scrot" =~ ^[0-9]+$ ]] && (( scrot > 0 )) && half=$(awk -v a="$ours" -v b="$scrot" \
    'BEGIN{r = a/b; printf "%.2f of scrot'"'"'s time (target: at most 0.55): %s", r, r <= 0.55 ? "PASS" : "MISS"}')
  echo "  $size: snaplorn $ours ms, fastest peer $best_tool $best ms: $verdict; $half"
  alone=${result[snaplorn-alone,$size]}
  [[ "$alone" =~ ^[0-9]+$ && "$scrot" =~ ^[0-9]+$ ]] && (( scrot > 0 )) && awk -v a="$alone" -v b="$scrot" \
    -v s="$size" 'BEGIN{printf "  %s: without the keeper %d ms, %.2f of scrot'"'"'s time\n", s, a, a/b}'
done
echo "In-process grab at 3840x2160 (target: within 2x of the bare SHM grab):"
echo "  $grab_line"
echo "Auto capture (target: 25 of 25 files, none later than one interval):"
for line in "${auto_lines[@]}"; do echo "  ${line:-the probe gave no report}"; done
