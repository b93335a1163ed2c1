# Timing helpers of the capture benchmarks (sourced).

now_us() { echo $(( $(date +%s%N) / 1000 )); }

# median_ms RUNS OUTFILE CMD...: median wall time of the whole process
median_ms() {
  local n=$1 out=$2; shift 2
  local times=() i start end
  rm -f "$out"
  "$@" >/dev/null 2>&1 || return 1   # warm-up (file cache, fonts)
  [[ -s "$out" ]] || return 1
  for i in $(seq 1 "$n"); do
    rm -f "$out"
    start=$(now_us)
    "$@" >/dev/null 2>&1 || return 1
    end=$(now_us)
    [[ -s "$out" ]] || return 1
    times+=( $(( end - start )) )
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {m = (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2; printf "%.0f", m / 1000}'
}
