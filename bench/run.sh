#!/usr/bin/env bash
# Benchmark: bench/run.sh [N ...]   (default: 10000 100000 1000000 entities)
#
# For each size, generates bench/data/exported-N.dxf if missing, then times
#   floor    bench_floor: read the file in one read, split, write back
#   run      dravolin run IN -o OUT           (load + save)
#   mech6    dravolin convert --target mech6
#   genius   dravolin convert --target genius
# with /usr/bin/time for wall time and peak memory, and prints a table with
# each step's ratio to the floor and to load and save. Uses the build in
# $DRAVOLIN_BUILD (default build/), building the two programs first.
#
# Each step runs $BENCH_REPEAT times (default 3), the steps taking turns,
# and the fastest time counts (the peak: the highest). A machine that
# pauses or faults slowly now and then slows single runs by up to three
# times, and the short steps most: one run alone could show any ratio.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/setup.sh"

sizes=("$@")
((${#sizes[@]})) || sizes=(10000 100000 1000000)
for n in "${sizes[@]}"; do
  [[ $n =~ ^[1-9][0-9]*$ ]] || { say "usage: bench/run.sh [N ...]  (N: number of entities)"; exit 2; }
done

ensure_packages time:/usr/bin/time
build=${DRAVOLIN_BUILD:-$DRAVOLIN_ROOT/build}
[[ -f $build/CMakeCache.txt ]] || configure_build "$build"
cmake --build "$build" --target dravolin bench_floor -j "$(build_jobs)"

data="$DRAVOLIN_ROOT/bench/data"
mkdir -p "$data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# measure NAME COMMAND...: runs the command; prints "seconds peak_mb" or
# "failed N" when it exits with status N.
measure() {
  local log="$work/$1.log" times="$work/$1.time"
  shift
  if /usr/bin/time -f '%e %M' -o "$times" "$@" >"$log" 2>&1; then
    awk '{ printf "%s %.1f\n", $1, $2 / 1024 }' "$times"
  else
    echo "failed $?"
    tail -n 5 "$log" >&2
  fi
}

for n in "${sizes[@]}"; do
  input="$data/exported-$n.dxf"
  if [[ ! -s $input ]]; then
    say "generating $input"
    "$DRAVOLIN_PYTHON" "$DRAVOLIN_ROOT/bench/make_drawing.py" "$n" "$input.tmp"
    mv "$input.tmp" "$input"
  fi
done

repeat=${BENCH_REPEAT:-3}
[[ $repeat =~ ^[1-9][0-9]*$ ]] || { say "BENCH_REPEAT must be a positive number"; exit 2; }
steps=(floor run mech6 genius)

# run_step N STEP: runs the step once on the drawing of N entities.
run_step() {
  local n=$1 step=$2 input="$data/exported-$1.dxf" output="$work/$2.dxf"
  local result
  case $step in
    floor) result=$(measure "$step" "$build/bench_floor" "$input" "$output") ;;
    run) result=$(measure "$step" "$build/dravolin" run "$input" -o "$output") ;;
    mech6 | genius)
      local extra=()
      [[ $step == genius ]] && extra=(--layers coarse)
      result=$(measure "$step" "$build/dravolin" convert "$input" --target "$step" -o "$output" \
        --reference auto --lineweights 0.50,0.35,0.25 -q "${extra[@]}")
      ;;
  esac
  rm -f "$output"
  echo "$result"
}

# ratio SECONDS BASE: SECONDS / BASE with one decimal, or "-".
ratio() {
  awk -v s="$1" -v f="$2" 'BEGIN { if (f > 0) printf "%.1f", s / f; else print "-" }'
}

status=0
printf '%-9s %-7s %10s %10s %10s %10s %10s\n' entities step seconds "peak MB" "x floor" "x run" "MB in"
for n in "${sizes[@]}"; do
  input="$data/exported-$n.dxf"
  size_mb=$(awk -v b="$(stat -c %s "$input")" 'BEGIN { printf "%.1f", b / 1048576 }')
  declare -A best=() peak=() failed=()
  for ((round = 0; round < repeat; ++round)); do
    for step in "${steps[@]}"; do
      [[ -n ${failed[$step]:-} ]] && continue
      read -r seconds mb <<<"$(run_step "$n" "$step")"
      if [[ $seconds == failed ]]; then
        failed[$step]=$mb
        continue
      fi
      if [[ -z ${best[$step]:-} ]] || awk -v a="$seconds" -v b="${best[$step]}" 'BEGIN { exit !(a < b) }'; then
        best[$step]=$seconds
      fi
      if [[ -z ${peak[$step]:-} ]] || awk -v a="$mb" -v b="${peak[$step]}" 'BEGIN { exit !(a > b) }'; then
        peak[$step]=$mb
      fi
    done
  done
  for step in "${steps[@]}"; do
    if [[ -n ${failed[$step]:-} ]]; then
      printf '%-9s %-7s %10s\n' "$n" "$step" "failed (exit ${failed[$step]})"
      status=1
      continue
    fi
    printf '%-9s %-7s %10s %10s %10s %10s %10s\n' "$n" "$step" "${best[$step]}" "${peak[$step]}" \
      "$(ratio "${best[$step]}" "${best[floor]:-}")" "$(ratio "${best[$step]}" "${best[run]:-}")" \
      "$size_mb"
  done
  unset best peak failed
done
exit "$status"
