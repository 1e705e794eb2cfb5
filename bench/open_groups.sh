#!/usr/bin/env bash
# Benchmark: bench/open_groups.sh [GROUPS]   (default: 200000)
#
# Work must grow with the file, not with the square of a record's groups. A
# drawing whose layout LINE carries GROUPS "102 {X" application groups that
# are never closed (about 7 bytes each) is converted beside a plain exported
# drawing of about the same size (bench/make_drawing.py), with
#   dravolin convert --target mech6 --force
# The open groups must cost at most MAX_RATIO (default 3) times the plain
# drawing's wall time; the script exits 1 otherwise. Uses the build in
# $DRAVOLIN_BUILD (default build/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib/setup.sh"

groups=${1:-200000}
[[ $groups =~ ^[1-9][0-9]*$ ]] || { say "usage: bench/open_groups.sh [GROUPS]"; exit 2; }
max_ratio=${MAX_RATIO:-3}

ensure_packages time:/usr/bin/time
build=${DRAVOLIN_BUILD:-$DRAVOLIN_ROOT/build}
[[ -f $build/CMakeCache.txt ]] || configure_build "$build"
cmake --build "$build" --target dravolin -j "$(build_jobs)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The open groups go into the first LINE of a small exported drawing, ahead
# of its own data; the plain drawing has as many entities as make the same
# size.
"$DRAVOLIN_PYTHON" "$DRAVOLIN_ROOT/bench/make_drawing.py" 16 "$work/small.dxf"
"$DRAVOLIN_PYTHON" "$DRAVOLIN_ROOT/bench/make_drawing.py" 1016 "$work/sample.dxf"
"$DRAVOLIN_PYTHON" - "$work/small.dxf" "$work/open.dxf" "$groups" <<'PY'
import sys
source, target, groups = sys.argv[1], sys.argv[2], int(sys.argv[3])
data = open(source, "rb").read()
line = data.index(b"\nLINE\n", data.index(b"ENTITIES"))
own = data.rindex(b"\n", 0, data.index(b"AcDbLine\n", line) - 1) + 1
open(target, "wb").write(data[:own] + b"102\n{X\n" * groups + data[own:])
PY
open_size=$(stat -c %s "$work/open.dxf")
small_size=$(stat -c %s "$work/small.dxf")
per_entity=$((($(stat -c %s "$work/sample.dxf") - small_size) / 1000))
"$DRAVOLIN_PYTHON" "$DRAVOLIN_ROOT/bench/make_drawing.py" \
  $(((open_size - small_size) / per_entity + 16)) "$work/plain.dxf"
plain_size=$(stat -c %s "$work/plain.dxf")

seconds() {
  /usr/bin/time -f '%e' -o "$work/time" "$build/dravolin" convert "$1" --target mech6 --force \
    --reference auto --lineweights 0.50,0.35,0.25 -q -o "$work/out.dxf" >"$work/log" 2>&1 ||
    { tail -n 5 "$work/log" >&2; exit 1; }
  cat "$work/time"
}

plain=$(seconds "$work/plain.dxf")
open=$(seconds "$work/open.dxf")
printf '%-22s %10s %10s\n' drawing bytes seconds
printf '%-22s %10s %10s\n' "plain" "$plain_size" "$plain"
printf '%-22s %10s %10s\n' "$groups open groups" "$open_size" "$open"
awk -v o="$open" -v p="$plain" -v m="$max_ratio" 'BEGIN {
  r = p > 0 ? o / p : 0
  printf "ratio %.2f (at most %s)\n", r, m
  exit (r <= m ? 0 : 1)
}'
